#pragma once

#include <functional>
#include <map>
#include <memory>

namespace fennic {

// An ordered map whose values are shared pointers.
template <class K, class V, class C = std::less<K>>
using ptr_map = std::map<K, std::shared_ptr<V>, C>;

}  // namespace fennic
