#include "cli/SearchCommand.h"

#include "cli/CtlSession.h"
#include "cli/CtlOptions.h"
#include "cli/InterruptHook.h"
#include "cli/SearchListing.h"
#include "engine/QuillonEngine.h"

int SearchCommand::run(CtlSession &session, const CtlOptions &options, InterruptHook &hook)
{
    // Nothing is changed on any display: Ctrl-C simply ends the search.
    QObject::connect(&hook, &InterruptHook::interrupted, &session, [&session] { session.abandonWait(); });
    // Without a catalogue the displays are still listed, their availability unknown.
    session.loadCatalogue();
    if (session.waitAbandoned())
        return CtlOptions::Failed;
    if (!session.runSearch(options.targets)) {
        session.err() << (session.waitAbandoned() ? tr("Interrupted.") : tr("Search error")) << Qt::endl;
        return CtlOptions::Failed;
    }
    if (options.json)
        session.out() << SearchListing::json(session.engine().state());
    else
        session.out() << SearchListing::text(session.engine().state());
    return CtlOptions::Completed;
}
