// "全ﾌｧｲﾙ処理": every file the file list shows, in its order, converted with the job the window
// is set up with. The data kind and the processing hold for the whole run: a file the kind does
// not convert is skipped and named. The outcomes are folded into the summary files by
// src/batch, whose result does not depend on how many files are converted at once.
#pragma once

namespace pqwave {

class Form1Model;

// `jobs` files are converted side by side (pqwave-cli batch --jobs).
void runAllFiles(Form1Model& form, int jobs = 1);

}  // namespace pqwave
