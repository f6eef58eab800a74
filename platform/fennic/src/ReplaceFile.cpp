#include <fennic/ReplaceFile.h>

#include <fennic/Exceptions.h>

#include <fstream>
#include <string>
#include <system_error>

namespace fennic {

void ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    const auto fail = [&](const std::string& why) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return IoError(target.string() + ": cannot be written: " + why);
    };
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw fail("the temporary file cannot be created");
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out.fail()) {
            throw fail("writing failed");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        throw fail(error.message());
    }
}

}  // namespace fennic
