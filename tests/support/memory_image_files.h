#pragma once

// Image files held in memory, by name; a name can be made to fail to open.

#include "image/memory_byte_source.h"
#include "support/byte_sources.h"
#include "session/image_file_checks.h"

#include <map>
#include <string>
#include <vector>

namespace tavex::test {

class MemoryImageFiles final : public IImageFiles {
public:
    void Add(const std::string& name, const std::string& contents) { files_[name] = {contents.begin(), contents.end()}; }
    void Fail(const std::string& name, OpenedFile::Status status) { failures_[name] = status; }
    // A file of `length` bytes whose medium fails after `readable` of them.
    void AddBroken(const std::string& name, const std::string& readable, std::uint64_t length)
    {
        broken_[name] = {readable, length};
    }

    OpenedFile Open(const std::string& path) override
    {
        OpenedFile opened;
        if (const auto failure = failures_.find(path); failure != failures_.end()) {
            opened.status = failure->second;
            return opened;
        }
        if (const auto broken = broken_.find(path); broken != broken_.end()) {
            opened.status = OpenedFile::Status::Opened;
            opened.file = std::make_unique<FailingByteSource>(broken->second.first);
            opened.length = broken->second.second;
            return opened;
        }
        const auto file = files_.find(path);
        if (file == files_.end()) {
            opened.status = OpenedFile::Status::NotFound;
            return opened;
        }
        opened.status = OpenedFile::Status::Opened;
        opened.file = std::make_unique<MemoryByteSource>(file->second);
        opened.length = file->second.size();
        return opened;
    }

private:
    std::map<std::string, std::vector<std::uint8_t>> files_;
    std::map<std::string, OpenedFile::Status> failures_;
    std::map<std::string, std::pair<std::string, std::uint64_t>> broken_;
};

} // namespace tavex::test
