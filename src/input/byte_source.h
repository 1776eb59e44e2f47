// Where the loader's bytes come from: an open file read in large blocks, or memory (the fuzz
// targets and tests). Reads past the end are refused with the file's name and the numbers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/every_core.h"
#include "common/progress.h"

namespace pqwave {

class ByteSource {
public:
    explicit ByteSource(std::string name) : name_(std::move(name)) {}
    virtual ~ByteSource() = default;
    const std::string& name() const { return name_; }
    virtual std::uint64_t size() const = 0;
    // Fills `into` from `offset`; throws Error when the bytes are not there. Safe to call from
    // several threads at once.
    virtual void read(std::uint64_t offset, std::span<std::byte> into) const = 0;

private:
    std::string name_;
};

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(const std::filesystem::path& path);
    std::uint64_t size() const override { return size_; }
    void read(std::uint64_t offset, std::span<std::byte> into) const override;

private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_{nullptr, &std::fclose};
    std::uint64_t size_ = 0;
};

class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(std::span<const std::byte> bytes, std::string name) : ByteSource(std::move(name)), bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    void read(std::uint64_t offset, std::span<std::byte> into) const override;

private:
    std::span<const std::byte> bytes_;
};

// Up to `length` bytes from `offset`, fewer when the file ends first: a small part of a file
// that a ByteCursor then reads field by field. Memory stays within the file's size.
std::vector<std::byte> readAvailable(const ByteSource& source, std::uint64_t offset, std::uint64_t length);

// Calls decode(record, index) for `count` consecutive records of `recordBytes` bytes from
// `offset`, reading blocks of about a megabyte so the data is never read value by value. The
// blocks are shared between the cores, so `decode` must only touch what belongs to its index.
template <typename Decode>
void forEachRecord(const ByteSource& source, std::uint64_t offset, std::size_t recordBytes, std::size_t count,
                   Decode&& decode) {
    if (recordBytes == 0 || count == 0) return;
    const std::size_t recordsPerBlock = std::max<std::size_t>(1, (std::size_t{1} << 20) / recordBytes);
    const std::size_t blocks = (count + recordsPerBlock - 1) / recordsPerBlock;
    const std::size_t readers = threadsFor(blocks);
    Progress unobserved;  // a load is not cancelled part way
    runOnEveryCore(readers, 0, unobserved, [&](std::size_t reader, auto&&) {
        std::unique_ptr<std::byte[]> block(new std::byte[recordsPerBlock * recordBytes]);
        for (std::size_t b = reader; b < blocks; b += readers) {
            const std::size_t first = b * recordsPerBlock;
            const std::size_t records = std::min(recordsPerBlock, count - first);
            source.read(offset + first * recordBytes, {block.get(), records * recordBytes});
            const std::byte* record = block.get();
            for (std::size_t r = 0; r < records; ++r, record += recordBytes) decode(record, first + r);
        }
    });
}

}  // namespace pqwave
