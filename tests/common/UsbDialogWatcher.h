#pragma once

#include "usb/CreateUSBDriveDialog.h"
#include "usb/search_model_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <functional>

// For tests of the flows that end in the USB drive dialog (a row's model, a model chosen by
// name): notices every USB drive dialog that opens modally, notes what it was opened with and
// which files the cache folder held at that moment, lets the test act on it, then closes it.
class UsbDialogWatcher : public QObject
{
public:
    struct Opening
    {
        QStringList models;
        QString downloadLoc;
        QString cacheFolder;
        QStringList cacheFiles; // what the dialog could copy from when it opened
    };

    explicit UsbDialogWatcher(std::function<void(CreateUSBDriveDialog *)> work = {})
        : m_work(std::move(work))
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<CreateUSBDriveDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog == m_current)
                return;
            m_current = dialog;
            openings.append({ dialog->release().models, dialog->release().downloadLoc, dialog->cacheFolder(),
                              QDir(dialog->cacheFolder()).entryList(QDir::Files, QDir::Name) });
            if (m_work)
                m_work(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        m_poll.start(10);
    }

    QList<Opening> openings;

private:
    std::function<void(CreateUSBDriveDialog *)> m_work;
    QTimer m_poll;
    // Guarded: the next dialog, opened from the same place, often has the address of the last.
    QPointer<const CreateUSBDriveDialog> m_current;
};

// Fills in the model search as a user would: the name, then the region and model variant texts
// where the dialog asks for them. Returns whether OK could be pressed (and pressed it).
inline bool chooseModel(search_model_dialog *dialog, const QString &name, const QString &region = QString(),
                        const QString &modelVariant = QString())
{
    dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(name);
    auto choose = [dialog](const char *box, const QString &text) {
        auto *combo = dialog->findChild<QComboBox *>(QLatin1String(box));
        if (text.isEmpty() || !combo->isVisible() || !combo->isEnabled())
            return;
        combo->setCurrentIndex(combo->findText(text));
    };
    choose("select_region_variant_comboBox", region);
    choose("select_model_variant_comboBox", modelVariant);
    QPushButton *ok = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok);
    if (!ok->isEnabled())
        return false;
    ok->click();
    return true;
}
