// Command line of pqwave-gen: one synthetic recording from options, or the sample set.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pqwave::gen {

int runGenerator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pqwave::gen
