// Bounds-checked reading of the big-endian files the tool takes in (MIDI
// files, presets). Every read checks the remaining length first, so a parser
// built on it cannot step outside its buffer, whatever the file says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "tools/lumavox-render/RenderError.h"

namespace render {

class ByteReader {
  public:
    // what names the data in messages, e.g. "song.mid".
    ByteReader(const std::uint8_t* data, std::size_t size, std::string what)
        : data_(data), size_(size), what_(std::move(what)) {}

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return size_ - position_; }
    bool atEnd() const { return position_ == size_; }
    const std::uint8_t* here() const { return data_ + position_; }

    std::uint8_t u8() {
        need(1);
        return data_[position_++];
    }
    std::uint32_t u16() {
        need(2);
        const std::uint32_t v = (std::uint32_t{data_[position_]} << 8) | data_[position_ + 1];
        position_ += 2;
        return v;
    }
    std::uint32_t u24() {
        const std::uint32_t high = u8();
        return (high << 16) | u16();
    }
    std::uint32_t u32() {
        const std::uint32_t high = u16();
        return (high << 16) | u16();
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    float f32() {
        const std::uint32_t bits = u32();
        float value;
        static_assert(sizeof value == sizeof bits);
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    void skip(std::size_t count) {
        need(count);
        position_ += count;
    }
    // A reader over the next count bytes, which this one steps over.
    ByteReader sub(std::size_t count, const std::string& what) {
        need(count);
        ByteReader inner(data_ + position_, count, what);
        position_ += count;
        return inner;
    }

    [[noreturn]] void fail(const std::string& reason) const {
        throw RenderError(what_ + ": " + reason);
    }
    void need(std::size_t count) const {
        if (count > remaining()) fail("cut short");
    }
    const std::string& what() const { return what_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    std::string what_;
};

}  // namespace render
