#include "input_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace txt2vcf {

namespace {

// Reads everything from `fd` into `bytes`. On failure returns false with the errno value in `error`.
bool ReadAll(int fd, std::string& bytes, int& error) {
    // A regular file says how big it is: one allocation, and one byte more to see the end without growing.
    std::size_t capacity = std::size_t{64} << 10;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        capacity = static_cast<std::size_t>(info.st_size) + 1;
    }
    bytes.assign(capacity, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t got = read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            bytes.clear();
            return false;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return true;
}

}  // namespace

InputBytes::~InputBytes() {
    if (mapping_ != nullptr) {
        munmap(mapping_, mappedSize_);
    }
}

bool InputBytes::Load(const std::string& path, int& error) {
    if (path == "-") {
        return LoadFrom(STDIN_FILENO, error);
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    const bool loaded = LoadFrom(fd, error);
    close(fd);
    return loaded;
}

bool InputBytes::LoadFrom(int fd, int& error) {
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        // A file cut short by someone else while it is mapped would end the program with SIGBUS; that happens
        // before any output is opened, so it leaves nothing behind.
        const std::size_t size = static_cast<std::size_t>(info.st_size);
        void* mapping = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (mapping != MAP_FAILED) {
            mapping_ = mapping;
            mappedSize_ = size;
            return true;
        }
        // A file system that cannot map files can still be read.
    }
    return ReadAll(fd, read_, error);
}

std::string_view InputBytes::View() const {
    if (mapping_ != nullptr) {
        return std::string_view(static_cast<const char*>(mapping_), mappedSize_);
    }
    return read_;
}

}  // namespace txt2vcf
