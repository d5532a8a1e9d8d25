// Where the cards of txt2vcf go: standard output, or a file named by -o that is replaced whole or not at all.
#pragma once

#include <string>
#include <string_view>

#include "card_writer.h"

namespace txt2vcf {

// Writes chunks to a file descriptor, remembering the system's reason when a write fails.
class DescriptorSink : public tavix::ChunkSink {
  public:
    bool Write(std::string_view chunk) override;

    int fd = -1;
    int error = 0;
};

class CardOutput {
  public:
    CardOutput() = default;
    CardOutput(const CardOutput&) = delete;
    CardOutput& operator=(const CardOutput&) = delete;
    // An output that was not committed takes its temporary file with it.
    ~CardOutput();

    // `available` is false when the process was started with standard output closed.
    bool OpenStandardOutput(bool available);

    // A regular file, or a name not yet taken, is written to a temporary file beside it that Commit renames over
    // it. Anything else that exists (a device such as /dev/null, a pipe) is written to directly: renaming over it
    // would replace the device node itself.
    bool OpenFile(const std::string& path);

    tavix::ChunkSink& Sink() { return sink_; }

    // Makes the written cards the content of the output.
    bool Commit();

    // The errno value of the step that failed.
    int Error() const;

  private:
    bool Fail();
    void Discard();

    DescriptorSink sink_;
    bool ownsFd_ = false;
    std::string path_;
    std::string temporaryPath_;  // empty unless a temporary file waits to be renamed
    int error_ = 0;
};

}  // namespace txt2vcf
