// Reading the whole input of txt2vcf.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace txt2vcf {

// The whole input at once. A regular file is mapped rather than read: the parser copies the bytes it keeps anyway,
// and a mapped page costs no page fault of a buffer of our own. Standard input and other kinds of file are read.
class InputBytes {
  public:
    InputBytes() = default;
    InputBytes(const InputBytes&) = delete;
    InputBytes& operator=(const InputBytes&) = delete;
    ~InputBytes();

    // Loads the file at `path`, or standard input for "-". On failure returns false with the errno value.
    bool Load(const std::string& path, int& error);

    std::string_view View() const;

  private:
    bool LoadFrom(int fd, int& error);

    void* mapping_ = nullptr;
    std::size_t mappedSize_ = 0;
    std::string read_;
};

}  // namespace txt2vcf
