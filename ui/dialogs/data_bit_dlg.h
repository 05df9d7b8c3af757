#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <array>
#include <cstdint>

class QLabel;
class QPushButton;

// The bit editor of the send dialog: the data bytes of a classic frame as
// an 8 by 8 grid of bits (one row per byte, bit 7 on the left), toggled by
// clicks. It is modeless and lives as long as its send dialog; closing it
// only hides it. "設定" posts the apply event to the send dialog, which
// then reads the working bytes.
class CDataBitDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kBytes = 8;
    static constexpr int kBits = 8;

    // owner receives the apply event.
    explicit CDataBitDlg(QWidget* owner);

    // Working and saved bytes = the first length bytes (the rest 0); the
    // length is kept within 1..8.
    void SetBitData(const uint8_t* bytes, int length);
    int Length() const { return length_; }
    const std::array<uint8_t, kBytes>& WorkingBytes() const { return working_; }
    const std::array<uint8_t, kBytes>& SavedBytes() const { return saved_; }

    // The cell of one bit of one byte; the whole grid.
    QRect CellRect(int byte, int bit) const;
    QRect CellArea() const;
    int CellSize() const { return cellSize_; }
    QLabel* ByteText(int byte) const { return texts_[static_cast<size_t>(byte)]; }
    QPushButton* ResetButton() const { return reset_; }
    QPushButton* ApplyButton() const { return apply_; }

    // "リセット" and "設定".
    void Reset();
    void Apply();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void LayoutCells();
    // The active cell under a point: its byte and bit; false when none.
    bool ActiveCellAt(QPoint point, int* byte, int* bit) const;
    void UpdateTexts();
    void UpdateResetButton();

    QWidget* owner_;
    std::array<uint8_t, kBytes> working_{};
    std::array<uint8_t, kBytes> saved_{};
    int length_ = 1;
    // [row][column]; column 0 holds bit 7.
    std::array<std::array<QRect, kBits>, kBytes> cells_{};
    int cellSize_ = 0;
    int pressedByte_ = -1;
    int pressedBit_ = -1;
    int charWidth_ = 0;
    int charHeight_ = 0;
    QFont normalFont_;
    QFont boldFont_;
    QLabel* placeholder_ = nullptr;
    std::array<QLabel*, kBytes> texts_{};
    QPushButton* reset_ = nullptr;
    QPushButton* apply_ = nullptr;
};
