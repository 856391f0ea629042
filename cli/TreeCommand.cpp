// pagewright-cli tree FILE: the object tree as the GUI shows it, with every
// table node expanded (key folders and column labels).

#include <cstdio>

#include "Commands.h"
#include "Session.h"

namespace cli {

int Tree(const Options& options) {
    const std::string& path = options.positional.at(0);
    Session session(options);
    ProgressMeter meter(TerminalBarFor(options.quiet, stderr));
    if (const int code = session.Scan(path, meter)) return code;
    pw::ObjectTreeBuilder& builder = session.frame->Builder();
    for (const pw::TreeItem folder : {builder.Folders().userTables, builder.Folders().systemTables})
        for (const pw::TreeItem table : session.tree.Children(folder)) builder.ExpandTableNode(table);
    std::fputs(pw::TreeOutline(session.tree).c_str(), stdout);
    return kExitDone;
}

}  // namespace cli
