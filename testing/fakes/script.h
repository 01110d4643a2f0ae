// What the fake user interface does in a started client: the commands of
// the file "fakeui.script" in the current directory, one per line, run on
// the GUI thread once the host has finished starting. Each command's outcome
// is recorded as "script|<command>|...".
//
//   connect | disconnect           through the connect toolbar
//   search <query>                 as the search bar starts a search
//   save                           the settings store's save hooks, then save
//   shutdown                       asks the runtime to stop
//   autoclear <index> <0|1>        display-mode <n>
//   download-dir <folder>          temp-dir <folder>
//   filter <name>|<field>|<operator>|<type>|<operand>    type: long, ulong, text
//   remove-filter <key>
//   dump                           the manager's settings, one line each
//   probe-filter <field>|<type>|<value>   whether a filter hides such a result
//   probe-limit <n>                a new search gets one batch of n results
//   share-add <folder>|<0|1>       share-save
//   engine-reload                  engine-probe <folder>
//   wait <milliseconds>
//   await <milliseconds> <prefix>  until a recorded call begins with prefix,
//                                  at most that long (other threads' calls
//                                  are carried out meanwhile); records
//                                  script|await|<prefix>|<0|1>
//   threads                        the threader's live thread objects
//   await-file <milliseconds> <path>   until the file exists; records
//                                  script|await-file|<path>|<0|1>
//   results                        from now on every result the manager is
//                                  handed is recorded as
//                                  script|result|<attribute>=<value>|...
//   download <file name>           fires the download action of the first
//                                  result recorded with that name:
//                                  script|download|<name>|<0|1>
//   download-action <action>|<file name>   fires the action (start, retry,
//                                  stop, remove or start-now) of the first
//                                  download row listed with that name:
//                                  script|download-action|<action>|<name>|<0|1>
//   await-download <milliseconds> <file name>|<text>   until that download
//                                  row shows the text in an attribute:
//                                  script|await-download|<name>|<text>|<0|1>
//   downloads                      every download row the transfer window
//                                  lists: script|download-row|<attributes>
//   record-file-only               later calls go to fakeui.calls only, not
//                                  to memory too (await sees none of them)
//   links                          every link row the host window was given,
//                                  as last updated: script|link|<attributes>
#pragma once

#include <string>
#include <vector>

#include "testing/fakes/fakeUi.h"
#include "vesk/directory.h"

namespace vesk::testing {

struct scriptContext {
    fakeUi* ui;
    Icore* core;
    IentityToken* token;  // the fake's entity
};

// The lines of the file; empty when it does not exist.
std::vector<std::string> readScript(const std::string& path);
// Runs every line, in order.
void runScript(const scriptContext& context, const std::vector<std::string>& lines);

}  // namespace vesk::testing
