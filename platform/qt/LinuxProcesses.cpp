#include "platform/qt/LinuxProcesses.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

#include "platform/core/CodePage1252.h"
#include "platform/core/CommandLine.h"
#include "platform/core/RegistryHive.h"

namespace hg {

namespace {

constexpr std::string_view kPlatformKey = "Software\\Hallgard Pro\\Platform";

void report(const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), what.c_str());
}

}  // namespace

LinuxProcesses::LinuxProcesses(const Files& files, const RegistryHive& registry)
    : files_(files), registry_(registry) {}

LinuxProcesses::~LinuxProcesses() = default;

std::string LinuxProcesses::toCp1252(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const std::string_view bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    if (auto converted = codepage::utf8ToCp1252(bytes))
        return *converted;
    return std::string(bytes);
}

std::string LinuxProcesses::joinArguments(const QStringList& arguments) {
    std::string line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (i > 1)
            line += ' ';
        line += toCp1252(arguments[i]);
    }
    return line;
}

std::string LinuxProcesses::commandLine() const {
    return joinArguments(QCoreApplication::arguments());
}

std::string LinuxProcesses::applicationDirectory() const {
    return toCp1252(QCoreApplication::applicationDirPath());
}

QString LinuxProcesses::lockFilePath() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QString directory =
        runtime.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(runtime);
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QByteArray place =
        QCryptographicHash::hash(QCoreApplication::applicationDirPath().toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    // The user is part of the name: in a shared temporary directory one user's copy must not
    // stop another user's.
    return QStringLiteral("%1/%2-%3-%4.lock")
        .arg(directory, program, QString::number(::getuid()), QString::fromLatin1(place));
}

bool LinuxProcesses::anotherCopyRunning() {
    if (anotherCopy_)
        return *anotherCopy_;
    lock_ = std::make_unique<QLockFile>(lockFilePath());
    // Held for the whole run however long: only a dead owner makes a lock stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        anotherCopy_ = false;
    } else if (lock_->error() == QLockFile::LockFailedError) {
        anotherCopy_ = true;
    } else {
        // Better two copies than none: a locker that cannot lock its file still runs.
        report("cannot take the single-copy lock " + lockFilePath().toStdString());
        anotherCopy_ = false;
    }
    return *anotherCopy_;
}

bool LinuxProcesses::start(const std::string& commandLine, ShowState) {
    const std::string directory = applicationDirectory();
    const std::optional<std::vector<std::string>> argv =
        programForCommand(commandLine, {directory, files_, registry_});
    if (!argv) {
        report("cannot start an empty command line");
        return false;
    }
    const Status started = spawnDetached(*argv);
    if (!started) {
        report("cannot " + started.error().message);
        return false;
    }
    return true;
}

void LinuxProcesses::logOff() {
    std::vector<std::string> argv;
    const std::optional<RegistryValue> configured =
        registry_.value(RegistryRoot::LocalMachine, kPlatformKey, "LogOff");
    if (configured && configured->type == RegistryValue::Type::String) {
        argv = splitCommandWords(configured->text);
        for (std::string& word : argv) word = codepage::cp1252ToUtf8(word);
    }
    if (argv.empty()) {
        const char* session = std::getenv("XDG_SESSION_ID");
        argv = {"loginctl", "terminate-session", session != nullptr ? session : ""};
    }
    const Status started = spawnDetached(argv);
    if (!started)
        report("cannot log off: " + started.error().message);
}

}  // namespace hg
