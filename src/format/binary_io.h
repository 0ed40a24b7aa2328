// Bounded little-endian reading and writing of the stored formats.
//
// The reader never reads past the end of its bytes: a read that does not fit
// marks the reader as failed and yields zero, so a caller can check ok() once
// after a block instead of after every word. Values read after a failure are
// all zero, which keeps every loop driven by them short.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quorrel {

// Records are copied byte for byte, which is only right on a little-endian host.
static_assert(std::endian::native == std::endian::little, "the stored formats are little-endian");

class ByteReader {
public:
    explicit ByteReader(std::string_view data) : data_(data) {}

    bool ok() const { return ok_; }
    std::size_t pos() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }

    // Copies n bytes into dst; on a short read dst is zero-filled and the reader fails.
    bool bytes(void* dst, std::size_t n) {
        if (!ok_ || n > remaining()) {
            ok_ = false;
            if (n > 0) std::memset(dst, 0, n);
            return false;
        }
        if (n > 0) std::memcpy(dst, data_.data() + pos_, n);
        pos_ += n;
        return true;
    }

    // The next n bytes as a view into the data (empty and failed when they do not fit).
    std::string_view take(std::size_t n) {
        if (!ok_ || n > remaining()) {
            ok_ = false;
            return {};
        }
        std::string_view v = data_.substr(pos_, n);
        pos_ += n;
        return v;
    }

    std::int32_t i32() { return value<std::int32_t>(); }
    std::uint8_t u8() { return value<std::uint8_t>(); }
    double f64() { return value<double>(); }

private:
    template <class T>
    T value() {
        T v{};
        bytes(&v, sizeof v);
        return v;
    }

    std::string_view data_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

class ByteWriter {
public:
    void bytes(const void* src, std::size_t n) { out_.append(static_cast<const char*>(src), n); }
    void bytes(std::string_view s) { out_.append(s); }
    void i32(std::int32_t v) { bytes(&v, sizeof v); }
    void u8(std::uint8_t v) { bytes(&v, sizeof v); }
    void f64(double v) { bytes(&v, sizeof v); }
    void zeros(std::size_t n) { out_.append(n, '\0'); }

    std::size_t size() const { return out_.size(); }
    std::string& str() { return out_; }

private:
    std::string out_;
};

}  // namespace quorrel
