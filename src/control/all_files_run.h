// The all-files run behind "全ﾌｧｲﾙ処理": every file the file list shows, in its order, clicked
// and converted as a user would, with one summary row per file. A file that cannot be converted
// is skipped and named; the other files' rows are complete.
#pragma once

#include <vector>

namespace pqwave {

class Form1Model;

// Runs over the files of `form`'s list. `helpers` are models started and set exactly as `form`
// (pqwave-cli batch --jobs): they convert files side by side, while everything the files share
// (summary rows, pooled tables, outputs of the same name) happens in the list's order, so the
// result does not depend on how many there are.
void runAllFiles(Form1Model& form, const std::vector<Form1Model*>& helpers = {});

}  // namespace pqwave
