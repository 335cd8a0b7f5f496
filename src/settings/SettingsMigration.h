#pragma once

class QSettings;

// Carries the older edition's settings over on the first start of this one.
namespace SettingsMigration {

// Copies the old store's whole tree into the new one when the new store has no top-level
// "Settings" group and the old one has. The old store is only read. Returns true when copied.
bool migrate(QSettings &newStore, QSettings &oldStore);

// migrate() with the older edition's store ("Orvane Brindle", "Orvane Quillon").
bool migrateFromOlderEdition(QSettings &newStore);

// Every key and group below the stores' current groups, keys first at each level.
void copyTree(QSettings &from, QSettings &to);

}
