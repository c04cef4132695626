// Bounded little-endian reading of outside bytes: every read is checked, a failed read sticks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// Random access to a byte source (a file, a buffer). ReadAt delivers exactly `length` bytes
// from `offset` or returns false; it never delivers part of a read.
class ByteSource {
public:
    virtual bool ReadAt(uint64_t offset, void* out, size_t length) = 0;

protected:
    ~ByteSource() = default;
};

// A ByteSource over a buffer in memory.
class MemorySource final : public ByteSource {
public:
    MemorySource(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    bool ReadAt(uint64_t offset, void* out, size_t length) override {
        if (offset > size_ || length > size_ - offset) return false;
        if (length) std::memcpy(out, data_ + offset, length);
        return true;
    }
    size_t size() const { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
};

// Reads fields at absolute offsets of a buffer. Out-of-range reads yield 0 and set a sticky
// error, so a parser reads what it needs and checks ok() once before trusting the result.
class BoundedReader {
public:
    BoundedReader(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}

    bool Has(size_t offset, size_t length) const { return offset <= size_ && length <= size_ - offset; }
    bool ok() const { return ok_; }
    size_t size() const { return size_; }
    const uint8_t* data() const { return data_; }

    uint8_t U8(size_t offset) { return Has(offset, 1) ? data_[offset] : Fail<uint8_t>(); }
    uint16_t U16(size_t offset) {
        if (!Has(offset, 2)) return Fail<uint16_t>();
        return static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8));
    }
    uint32_t U32(size_t offset) {
        if (!Has(offset, 4)) return Fail<uint32_t>();
        return static_cast<uint32_t>(data_[offset]) | (static_cast<uint32_t>(data_[offset + 1]) << 8) |
               (static_cast<uint32_t>(data_[offset + 2]) << 16) | (static_cast<uint32_t>(data_[offset + 3]) << 24);
    }
    int32_t I32(size_t offset) { return static_cast<int32_t>(U32(offset)); }
    // Pointer to `length` bytes at `offset`, or nullptr (and the sticky error) when out of range.
    const uint8_t* Bytes(size_t offset, size_t length) { return Has(offset, length) ? data_ + offset : Fail<const uint8_t*>(); }

private:
    template <typename T> T Fail() { ok_ = false; return T{}; }
    const uint8_t* data_;
    size_t size_;
    bool ok_ = true;
};

// Adds two offsets; false when the sum would overflow.
inline bool AddOffset(size_t a, size_t b, size_t* sum) {
    if (b > SIZE_MAX - a) return false;
    *sum = a + b;
    return true;
}
