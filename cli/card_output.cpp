#include "card_output.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace txt2vcf {

namespace {

// Keeps the temporary name within NAME_MAX even for a very long output name.
constexpr std::size_t kMaxNameInTemporary = 200;

std::string DirectoryPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string TemporaryPattern(const std::string& path) {
    const std::string directory = DirectoryPart(path);
    const std::string name = path.substr(directory.size(), kMaxNameInTemporary);
    return directory + "." + name + ".XXXXXX";
}

// The file that replaces OUTPUT keeps its mode and, where we may give it away, its owner; a new file gets the
// mode any other program would create it with.
void TakeOverAttributes(int fd, const struct stat* existing) {
    if (existing != nullptr) {
        fchmod(fd, existing->st_mode & 07777);
        if (fchown(fd, existing->st_uid, existing->st_gid) != 0) {
            // Only the owner's group or root may do that; the new file then stays ours.
        }
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

// Makes the rename itself survive a crash; a failure here loses nothing already written.
void SyncDirectory(const std::string& path) {
    const std::string directory = DirectoryPart(path);
    const int fd = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// The temporary file of an interrupted run (Ctrl+C, a kill) must not stay behind. The signal handler can only
// touch plain memory, so the name waits for it here while the file exists; one output per process at most.
char pendingTemporary[4096];

void RemovePendingTemporary(int signalNumber) {
    if (pendingTemporary[0] != '\0') {
        unlink(pendingTemporary);
    }
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void WatchTemporary(const std::string& path) {
    if (path.size() >= sizeof pendingTemporary) {
        return;  // longer than any path the system takes; such a name never got this far
    }
    std::memcpy(pendingTemporary, path.c_str(), path.size() + 1);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        signal(signalNumber, RemovePendingTemporary);
    }
}

void ForgetTemporary() {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        signal(signalNumber, SIG_DFL);
    }
    pendingTemporary[0] = '\0';
}

}  // namespace

bool DescriptorSink::Write(std::string_view chunk) {
    while (!chunk.empty()) {
        const ssize_t written = write(fd, chunk.data(), chunk.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        if (written == 0) {
            error = EIO;
            return false;
        }
        chunk.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

CardOutput::~CardOutput() {
    Discard();
}

bool CardOutput::OpenStandardOutput(bool available) {
    if (!available) {
        error_ = EBADF;
        return false;
    }
    sink_.fd = STDOUT_FILENO;
    return true;
}

bool CardOutput::OpenFile(const std::string& path) {
    path_ = path;
    struct stat existing;
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        sink_.fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        ownsFd_ = sink_.fd >= 0;
        return ownsFd_ || Fail();
    }
    std::string pattern = TemporaryPattern(path);
    sink_.fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (sink_.fd < 0) {
        return Fail();
    }
    ownsFd_ = true;
    temporaryPath_ = pattern;
    WatchTemporary(temporaryPath_);
    TakeOverAttributes(sink_.fd, exists ? &existing : nullptr);
    return true;
}

bool CardOutput::Commit() {
    if (sink_.error != 0) {
        error_ = sink_.error;
        Discard();
        return false;
    }
    if (!temporaryPath_.empty() && fsync(sink_.fd) != 0) {
        return Fail();
    }
    if (ownsFd_) {
        ownsFd_ = false;
        const int fd = sink_.fd;
        sink_.fd = -1;
        // Some file systems report a failed write only when the file is closed.
        if (close(fd) != 0 && errno != EINTR) {
            return Fail();
        }
    }
    if (!temporaryPath_.empty()) {
        if (rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
            return Fail();
        }
        temporaryPath_.clear();
        ForgetTemporary();
        SyncDirectory(path_);
    }
    return true;
}

int CardOutput::Error() const {
    return error_ != 0 ? error_ : sink_.error;
}

bool CardOutput::Fail() {
    error_ = errno;
    Discard();
    return false;
}

void CardOutput::Discard() {
    if (ownsFd_) {
        close(sink_.fd);
        ownsFd_ = false;
        sink_.fd = -1;
    }
    if (!temporaryPath_.empty()) {
        unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
        ForgetTemporary();
    }
}

}  // namespace txt2vcf
