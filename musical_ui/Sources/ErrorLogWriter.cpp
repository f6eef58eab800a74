#include "ErrorLogWriter.h"

#include <QSaveFile>
#include <QStorageInfo>
#include <QString>
#include <QSysInfo>

#include <charconv>
#include <chrono>
#include <ctime>
#include <cxxabi.h>
#include <iostream>
#include <memory>
#include <sstream>
#include <typeinfo>

namespace brix::qt {

namespace {

const char* const kRule = "-------------------------------------------\n";
constexpr double kBytesPerGigabyte = 1024.0 * 1024.0 * 1024.0;

std::string Local8Bit(const QString& text) { return text.toLocal8Bit().toStdString(); }

// The demangled name of an object's dynamic type; the raw name when it cannot be demangled.
std::string DynamicTypeName(const std::exception& object) {
    const char* raw = typeid(object).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(raw, nullptr, nullptr, &status),
                                                     std::free);
    return status == 0 && demangled ? std::string(demangled.get()) : std::string(raw);
}

void WriteVolume(std::ostream& out, const VolumeRecord& volume) {
    if (!volume.valid) {
        return;
    }
    if (volume.ready) {
        out << "\tName: " << volume.name << " "
            << "\tRoot:" << volume.root << " "
            << "\tFileSys:" << volume.fileSystem << " "
            << "\tDisk Spaces:" << static_cast<double>(volume.availableBytes) / kBytesPerGigabyte << "GB"
            << "/" << static_cast<double>(volume.totalBytes) / kBytesPerGigabyte << "GB";
    }
    out << "\n";
}

}  // namespace

ErrorLogEnvironment ErrorLogEnvironment::Current() {
    ErrorLogEnvironment environment;
    const std::time_t now = std::time(nullptr);
    char created[64] = {};
    if (ctime_r(&now, created) != nullptr) {
        environment.createdOn = created;
    }
    environment.cpuArchitecture = Local8Bit(QSysInfo::currentCpuArchitecture());
    environment.productType = Local8Bit(QSysInfo::prettyProductName());
    environment.kernelType = Local8Bit(QSysInfo::kernelType());
    environment.kernelVersion = Local8Bit(QSysInfo::kernelVersion());
    environment.hostName = Local8Bit(QSysInfo::machineHostName());
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        VolumeRecord volume;
        volume.valid = storage.isValid();
        volume.ready = storage.isReady();
        volume.name = Local8Bit(storage.name());
        volume.root = Local8Bit(storage.rootPath());
        volume.fileSystem = storage.fileSystemType().toStdString();
        volume.availableBytes = storage.bytesAvailable();
        volume.totalBytes = storage.bytesTotal();
        environment.volumes.push_back(std::move(volume));
    }
    return environment;
}

std::uint64_t HashMachineId(std::string_view hostName) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : hostName) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

std::string HashText(std::uint64_t hash) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, hash, 16);
    return std::string(digits, result.ptr);
}

std::string StampedLine(std::string_view text) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::string line = std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    line += ": ";
    line += text;
    line += '\n';
    return line;
}

ErrorLogWriter::ErrorLogWriter(std::ostream& file, std::string application, std::string version)
    : ErrorLogWriter(file, std::move(application), std::move(version), ErrorLogEnvironment::Current(),
                     std::cerr, std::cout) {}

ErrorLogWriter::ErrorLogWriter(std::ostream& file, std::string application, std::string version,
                               const ErrorLogEnvironment& environment, std::ostream& headerEcho,
                               std::ostream& lineEcho)
    : file_(file),
      headerEcho_(headerEcho),
      lineEcho_(lineEcho),
      application_(std::move(application)),
      version_(std::move(version)) {
    WriteHeader(environment);
}

void ErrorLogWriter::WriteHeader(const ErrorLogEnvironment& environment) {
    std::ostringstream header;
    header << "Fernwhistle Studios Error Log\n"
           << kRule
           << "Application: " << application_ << "\n"
           << "Version: " << version_ << "\n"
           << "Log Created on: " << environment.createdOn
           << kRule
           << "System Information:\n"
           << "CPU Architecture: " << environment.cpuArchitecture << "\n"
           << "Product Type: " << environment.productType << "\n"
           << "Kernel Type: " << environment.kernelType << "\n"
           << "Kernel Version: " << environment.kernelVersion << "\n"
           << "Hashed Machine ID: " << HashText(HashMachineId(environment.hostName)) << "\n"
           << kRule
           << "Mounted Volumes:\n";
    if (environment.volumes.empty()) {
        header << "None.\n";
    }
    for (const VolumeRecord& volume : environment.volumes) {
        WriteVolume(header, volume);
    }
    header << kRule;

    const std::string text = header.str();
    std::lock_guard lock(mutex_);
    file_ << text << std::flush;
    headerEcho_ << text << std::flush;
}

void ErrorLogWriter::LogException(const std::exception& error) {
    WriteLine("An EXCEPTION has been generated by the system.\n\tException type: " +
              DynamicTypeName(error) + "\n\tException: " + error.what() + "\n");
}

void ErrorLogWriter::WriteLine(std::string_view text) {
    const std::string line = StampedLine(text);
    std::lock_guard lock(mutex_);
    file_ << line << std::flush;
    lineEcho_ << line << std::flush;
}

std::filesystem::path WriteErrorLog(const std::string& folder, const std::string& application,
                                    const std::string& version, const std::exception& error,
                                    const ErrorLogEnvironment& environment) {
    std::ostringstream log;
    {
        ErrorLogWriter writer(log, application, version, environment, std::cerr, std::cout);
        writer.LogException(error);
    }
    const std::string text = log.str();

    std::vector<std::filesystem::path> places;
    if (!folder.empty()) {
        places.push_back(std::filesystem::path(folder) / kErrorLogFileName);
    }
    places.emplace_back(kErrorLogFileName);
    for (const std::filesystem::path& place : places) {
        QSaveFile file(QFile::decodeName(place.c_str()));
        if (file.open(QIODevice::WriteOnly) &&
            file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
            file.commit()) {
            return place;
        }
    }
    return {};
}

}  // namespace brix::qt
