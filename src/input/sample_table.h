// The loaded recording: signed 16-bit raw codes indexed (sample j, column c), both from 0,
// stored sample after sample so that one sample's columns are adjacent in memory.
// Physical value = code x ChannelScale(c) x ratio / V_Div; the using analysis applies it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pqwave {

class RawSampleTable {
public:
    RawSampleTable() = default;
    RawSampleTable(std::size_t rows, std::size_t columns) { resize(rows, columns); }

    // Drops the old contents; every cell starts at 0.
    void resize(std::size_t rows, std::size_t columns) {
        data_.assign(rows * columns, 0);
        rows_ = rows;
        columns_ = columns;
    }

    std::size_t rows() const { return rows_; }
    std::size_t columns() const { return columns_; }
    bool contains(std::size_t row, std::size_t column) const { return row < rows_ && column < columns_; }

    std::int16_t operator()(std::size_t row, std::size_t column) const { return data_[row * columns_ + column]; }
    std::int16_t& operator()(std::size_t row, std::size_t column) { return data_[row * columns_ + column]; }
    const std::int16_t* row(std::size_t row) const { return data_.data() + row * columns_; }
    std::int16_t* row(std::size_t row) { return data_.data() + row * columns_; }

private:
    std::vector<std::int16_t> data_;
    std::size_t rows_ = 0;
    std::size_t columns_ = 0;
};

}  // namespace pqwave
