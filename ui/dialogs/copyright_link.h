#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QUrl>

// The credit line of the about dialog: an underlined link that opens its
// target (a new mail) when clicked. Its colour tells whether it was used,
// is under the mouse or pressed, or is at rest.
class CCopyrightLink : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr QRgb kVisitedColor = 0xFF8B008Bu;  // RGB 139, 0, 139
    static constexpr QRgb kHotColor = 0xFF0000FFu;      // RGB 0, 0, 255
    static constexpr QRgb kNormalColor = 0xFF6495EDu;   // RGB 100, 149, 237
    static constexpr int kTextIndent = 2;

    explicit CCopyrightLink(QWidget* parent = nullptr);

    void SetUrl(const QUrl& url) { url_ = url; }
    QUrl Url() const { return url_; }
    bool Visited() const { return visited_; }
    void SetVisited(bool visited);
    // The colour the text is drawn in now.
    QColor TextColor() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Open();

    QUrl url_;
    QFont font_;
    bool visited_ = false;
};
