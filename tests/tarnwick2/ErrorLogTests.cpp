#include <ErrorLogWriter.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace showtest {
// An exception type of the program's own, to see the dynamic type's name in the log.
class CueFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
}  // namespace showtest

namespace {

using brix::qt::ErrorLogEnvironment;
using brix::qt::ErrorLogWriter;
using brix::qt::VolumeRecord;

const std::string kRule = "-------------------------------------------\n";
constexpr std::int64_t kGigabyte = std::int64_t{1} << 30;

ErrorLogEnvironment SampleEnvironment() {
    ErrorLogEnvironment environment;
    environment.createdOn = "Thu Dec 10 23:45:26 2026\n";
    environment.cpuArchitecture = "x86_64";
    environment.productType = "Debian GNU/Linux 12 (bookworm)";
    environment.kernelType = "linux";
    environment.kernelVersion = "6.1.0-18-amd64";
    environment.hostName = "stage-left";
    return environment;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Splits "<digits>: <rest>" into the stamp's validity and the rest.
bool HasStamp(const std::string& line, std::string* rest) {
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    for (std::size_t i = 0; i < colon; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) {
            return false;
        }
    }
    *rest = line.substr(colon + 2);
    return true;
}

TEST(HashedMachineId, IsTheFnv1a64HashInLowerCaseHexWithoutLeadingZeros) {
    const struct {
        const char* hostName;
        const char* text;
    } table[] = {
        {"", "cbf29ce484222325"},
        {"a", "af63dc4c8601ec8c"},
        {"foobar", "85944171f73967e8"},
        {"stage-left", "176ed0183fb60ae1"},
        {"host200", "b2c2aed150393f"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(brix::qt::HashText(brix::qt::HashMachineId(row.hostName)), row.text) << row.hostName;
    }
    EXPECT_EQ(brix::qt::HashText(0), "0");
}

TEST(ErrorLogWriter, WritesTheHeaderAtOnceToTheFileAndEchoesItWhole) {
    std::ostringstream file;
    std::ostringstream headerEcho;
    std::ostringstream lineEcho;
    ErrorLogWriter writer(file, "Tarn|Wick", "2.7.0 - ", SampleEnvironment(), headerEcho, lineEcho);

    const std::string expected = "Fernwhistle Studios Error Log\n" + kRule +
                                 "Application: Tarn|Wick\n"
                                 "Version: 2.7.0 - \n"
                                 "Log Created on: Thu Dec 10 23:45:26 2026\n" +
                                 kRule +
                                 "System Information:\n"
                                 "CPU Architecture: x86_64\n"
                                 "Product Type: Debian GNU/Linux 12 (bookworm)\n"
                                 "Kernel Type: linux\n"
                                 "Kernel Version: 6.1.0-18-amd64\n"
                                 "Hashed Machine ID: 176ed0183fb60ae1\n" +
                                 kRule + "Mounted Volumes:\nNone.\n" + kRule;
    EXPECT_EQ(file.str(), expected);
    EXPECT_EQ(headerEcho.str(), expected);
    EXPECT_EQ(lineEcho.str(), "");
    EXPECT_EQ(expected.find("stage-left"), std::string::npos);
}

TEST(ErrorLogWriter, ListsEachVolumeOnItsOwnLineAndSkipsInvalidOnes) {
    const struct {
        VolumeRecord volume;
        const char* line;
    } table[] = {
        {{true, true, "root", "/", "ext4", 25 * kGigabyte / 2, 100 * kGigabyte},
         "\tName: root \tRoot:/ \tFileSys:ext4 \tDisk Spaces:12.5GB/100GB\n"},
        {{true, true, "", "/mnt/score disk", "vfat", kGigabyte / 3, 1234567890123},
         "\tName:  \tRoot:/mnt/score disk \tFileSys:vfat \tDisk Spaces:0.333333GB/1149.78GB\n"},
        {{true, false, "cdrom", "/media/cdrom", "iso9660", 0, 0}, "\n"},
        {{false, true, "gone", "/gone", "ext4", kGigabyte, kGigabyte}, ""},
    };
    for (const auto& row : table) {
        ErrorLogEnvironment environment = SampleEnvironment();
        environment.volumes = {row.volume};
        std::ostringstream file;
        std::ostringstream echo;
        ErrorLogWriter writer(file, "Tarn|Wick", "2.7.0 - ", environment, echo, echo);
        const std::string volumes = "Mounted Volumes:\n" + std::string(row.line) + kRule;
        EXPECT_NE(file.str().find(volumes), std::string::npos) << row.volume.root << "\n" << file.str();
        EXPECT_EQ(file.str().find("None."), std::string::npos);
    }
}

TEST(ErrorLogWriter, TheExceptionEntryNamesTheDynamicTypeAndTheTextAndEndsWithAnEmptyLine) {
    std::ostringstream file;
    std::ostringstream headerEcho;
    std::ostringstream lineEcho;
    ErrorLogWriter writer(file, "Tarn|Wick", "2.7.0 - ", SampleEnvironment(), headerEcho, lineEcho);
    const std::size_t headerSize = file.str().size();

    const showtest::CueFailure failure("cue 12 has no destination");
    const std::exception& asBase = failure;
    writer.LogException(asBase);

    const std::string entry = file.str().substr(headerSize);
    std::string rest;
    ASSERT_TRUE(HasStamp(entry, &rest)) << entry;
    EXPECT_EQ(rest,
              "An EXCEPTION has been generated by the system.\n"
              "\tException type: showtest::CueFailure\n"
              "\tException: cue 12 has no destination\n\n");
    EXPECT_EQ(lineEcho.str(), entry);
}

TEST(ErrorLogWriter, EachLineCarriesAMonotonicStamp) {
    std::ostringstream file;
    std::ostringstream echo;
    ErrorLogWriter writer(file, "", "", SampleEnvironment(), echo, echo);
    file.str("");
    writer.WriteLine("first");
    writer.WriteLine("second");

    std::istringstream lines(file.str());
    std::string first;
    std::string second;
    std::getline(lines, first);
    std::getline(lines, second);
    std::string rest;
    ASSERT_TRUE(HasStamp(first, &rest));
    EXPECT_EQ(rest, "first");
    ASSERT_TRUE(HasStamp(second, &rest));
    EXPECT_EQ(rest, "second");
    EXPECT_LE(std::stoll(first), std::stoll(second));
}

// Runs a test in a temporary current directory and goes back afterwards.
class ErrorLogFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work_.isValid());
        ASSERT_TRUE(QDir(work_.path()).mkpath("cwd"));
        ASSERT_TRUE(QDir(work_.path()).mkpath("data"));
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(Path("cwd"));
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    std::filesystem::path Path(const char* name) const {
        return std::filesystem::path(work_.path().toStdString()) / name;
    }

    std::filesystem::path Write(const std::string& folder, const std::exception& error) {
        return brix::qt::WriteErrorLog(folder, "Tarn|Wick", "2.7.0 - ", error, SampleEnvironment());
    }

    QTemporaryDir work_;
    std::filesystem::path previous_;
};

TEST_F(ErrorLogFile, GoesToTheUserDataFolderAndElseToTheCurrentDirectory) {
    const std::filesystem::path data = Path("data");
    const std::filesystem::path inCwd = Path("cwd") / brix::qt::kErrorLogFileName;
    const std::filesystem::path inData = data / brix::qt::kErrorLogFileName;

    // The folder is known and writable.
    EXPECT_EQ(Write(data.string(), std::runtime_error("one")), inData);
    EXPECT_NE(ReadFile(inData).find("\tException: one\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(inCwd));

    // The exception came before the folder was known.
    EXPECT_EQ(Write("", std::runtime_error("two")), std::filesystem::path(brix::qt::kErrorLogFileName));
    EXPECT_NE(ReadFile(inCwd).find("\tException: two\n"), std::string::npos);
    std::filesystem::remove(inCwd);

    // The log cannot be written in the folder (its name is taken by a folder).
    const std::filesystem::path blocked = Path("blocked");
    std::filesystem::create_directories(blocked / brix::qt::kErrorLogFileName);
    EXPECT_EQ(Write(blocked.string(), std::runtime_error("three")),
              std::filesystem::path(brix::qt::kErrorLogFileName));
    EXPECT_NE(ReadFile(inCwd).find("\tException: three\n"), std::string::npos);
}

TEST_F(ErrorLogFile, ALaterFailureReplacesTheEarlierLogAndLeavesNoTemporaryFile) {
    const std::filesystem::path data = Path("data");
    Write(data.string(), std::runtime_error("the first failure, with a long text to be overwritten"));
    Write(data.string(), std::runtime_error("second"));

    const std::string log = ReadFile(data / brix::qt::kErrorLogFileName);
    EXPECT_EQ(log.find("first failure"), std::string::npos);
    EXPECT_EQ(log.rfind("Fernwhistle Studios Error Log\n", 0), 0u);
    EXPECT_NE(log.find("\tException: second\n\n"), std::string::npos);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(data)) {
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

TEST_F(ErrorLogFile, NothingWritableAnywhereReturnsAnEmptyPath) {
    // Both places are taken by folders of the log's name.
    std::filesystem::create_directories(Path("data") / brix::qt::kErrorLogFileName);
    std::filesystem::create_directories(Path("cwd") / brix::qt::kErrorLogFileName);
    EXPECT_TRUE(Write(Path("data").string(), std::runtime_error("lost")).empty());
}

}  // namespace
