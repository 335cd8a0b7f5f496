#include "cli/SearchCommand.h"

#include "cli/CtlEngine.h"
#include "cli/CtlOptions.h"
#include "cli/InterruptHook.h"
#include "cli/SearchListing.h"

int SearchCommand::run(CtlEngine &engine, const CtlOptions &options, InterruptHook &hook)
{
    // Nothing is changed on any display: Ctrl-C simply ends the search.
    QObject::connect(&hook, &InterruptHook::interrupted, &engine, [&engine] { engine.abandonWait(); });
    // Without a catalogue the displays are still listed, their availability unknown.
    engine.loadCatalogue();
    if (engine.waitAbandoned())
        return CtlOptions::Failed;
    if (!engine.runSearch(options.targets)) {
        engine.err() << (engine.waitAbandoned() ? tr("Interrupted.") : tr("Search error")) << Qt::endl;
        return CtlOptions::Failed;
    }
    if (options.json)
        engine.out() << SearchListing::json(engine.state());
    else
        engine.out() << SearchListing::text(engine.state());
    return CtlOptions::Completed;
}
