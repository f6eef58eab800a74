#pragma once

#include <string>

namespace fennic::path {

// Joins two parts of a path with exactly one '/' between them: trailing '/' of a and leading '/' of b
// are dropped first ("dir/" + "/file" -> "dir/file"). An empty part gives the other one unchanged;
// a root "/" stays a root ("/" + "x" -> "/x").
std::string Join(const std::string& a, const std::string& b);

}  // namespace fennic::path
