#include "LocalPaths.h"

namespace brix_ui {

QString LocalPaths::fromUrl(const QUrl& url) const
{
    return url.toLocalFile();
}

}  // namespace brix_ui
