#include "fennic/Exceptions.h"

#include <gtest/gtest.h>

#include <string>

TEST(Exceptions, EachKindCarriesItsMessageAndIsARuntimeError) {
    try {
        throw fennic::IoError(std::string("file.bin is not writable."));
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "file.bin is not writable.");
    }
    EXPECT_THROW(throw fennic::RuntimeError("x"), fennic::Error);
    EXPECT_THROW(throw fennic::NotImplementedError("Global Reverb Not Supported"), fennic::Error);
}

TEST(Exceptions, CopiesKeepTheMessageAndTheKind) {
    const fennic::NotImplementedError original("GetElapsedSeconds is not implemented");
    const fennic::NotImplementedError copy = original;
    EXPECT_STREQ(copy.what(), "GetElapsedSeconds is not implemented");
}

TEST(Exceptions, DerivedErrorsCanBeCaughtAsTheirBase) {
    struct MixerIoError : fennic::IoError {
        explicit MixerIoError(const std::string& message) : fennic::IoError(message) {}
    };
    EXPECT_THROW(throw MixerIoError("bad mixer file"), fennic::IoError);
}
