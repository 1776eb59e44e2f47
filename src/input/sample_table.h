// The loaded recording: signed 16-bit raw codes indexed (sample j, column c), both from 0,
// stored sample after sample so that one sample's columns are adjacent in memory.
// Physical value = code x ChannelScale(c) x ratio / V_Div; the using analysis applies it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace pqwave {

namespace sample_table_detail {
void freeCells(std::int16_t* cells, std::size_t count);
struct FreeCells {
    std::size_t count = 0;
    void operator()(std::int16_t* p) const { freeCells(p, count); }
};
}  // namespace sample_table_detail

class RawSampleTable {
public:
    RawSampleTable() = default;
    RawSampleTable(std::size_t rows, std::size_t columns) { resize(rows, columns); }

    RawSampleTable(const RawSampleTable& other) { *this = other; }
    RawSampleTable& operator=(const RawSampleTable& other) {
        if (this == &other) return *this;
        resize(other.rows_, other.columns_);
        if (cells() > 0) std::memcpy(data_.get(), other.data_.get(), cells() * sizeof(std::int16_t));
        return *this;
    }
    RawSampleTable(RawSampleTable&& other) noexcept { *this = std::move(other); }
    RawSampleTable& operator=(RawSampleTable&& other) noexcept {
        data_ = std::move(other.data_);
        rows_ = std::exchange(other.rows_, 0);
        columns_ = std::exchange(other.columns_, 0);
        return *this;
    }

    // Drops the old contents; every cell starts at 0. The memory comes zeroed from the
    // system, so a large table costs no pass of its own before the loader fills it.
    void resize(std::size_t rows, std::size_t columns) {
        data_.reset();
        rows_ = columns_ = 0;
        std::size_t count = rows * columns;
        if (count > 0) data_ = Cells(allocateZeroedCells(count), Free{count});
        rows_ = rows;
        columns_ = columns;
    }

    std::size_t rows() const { return rows_; }
    std::size_t columns() const { return columns_; }
    bool contains(std::size_t row, std::size_t column) const { return row < rows_ && column < columns_; }

    std::int16_t operator()(std::size_t row, std::size_t column) const { return data_.get()[row * columns_ + column]; }
    std::int16_t& operator()(std::size_t row, std::size_t column) { return data_.get()[row * columns_ + column]; }
    const std::int16_t* row(std::size_t row) const { return data_.get() + row * columns_; }
    std::int16_t* row(std::size_t row) { return data_.get() + row * columns_; }

private:
    static std::int16_t* allocateZeroedCells(std::size_t count);
    using Free = sample_table_detail::FreeCells;
    using Cells = std::unique_ptr<std::int16_t, Free>;
    std::size_t cells() const { return rows_ * columns_; }

    Cells data_;
    std::size_t rows_ = 0;
    std::size_t columns_ = 0;
};

}  // namespace pqwave
