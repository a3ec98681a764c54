#pragma once
// The hint line follows the mouse: while it moves over a part of a window that
// has a hint, the hint line says what that part does. A part's hint holds over
// the part itself and not over a control inside it, so a window's own hint is
// its bare surface's and a frame's hint is not shown over the boxes in it.
//
//     auto* hints = new MouseHints(this, [this](const QString& t) { main_.set_hint(t); });
//     hints->add(Command1, QStringLiteral("現在の内容でメモを登録します。"));
//     hints->add(this, QStringLiteral("メモの登録・訂正の画面です。"));

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace tz {

class MouseHints : public QObject {
public:
    // `show` puts a text in the hint line.
    MouseHints(QObject* parent, std::function<void(const QString&)> show);

    // Mouse moves over `part` are followed from now on, with no button held too.
    void add(QWidget* part, const QString& hint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> show_;
    QHash<const QObject*, QString> hints_;
};

}  // namespace tz
