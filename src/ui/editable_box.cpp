#include "ui/editable_box.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProxyStyle>
#include <QStyleOptionComplex>

namespace tz {
namespace {

// The box's own look, with the arrow part narrowed.
class SlimArrowStyle : public QProxyStyle {
public:
    explicit SlimArrowStyle(int arrow_px) : arrow_px_(arrow_px) {}

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        QRect r = QProxyStyle::subControlRect(control, option, part, widget);
        if (control != CC_ComboBox) return r;
        const QRect box = option->rect;
        if (part == SC_ComboBoxArrow) return QRect(box.right() - arrow_px_ - 1, box.top() + 1, arrow_px_, box.height() - 2);
        if (part == SC_ComboBoxEditField) return QRect(box.left() + 1, r.top(), box.width() - arrow_px_ - 3, r.height());
        return r;
    }

private:
    int arrow_px_;
};

}  // namespace

void make_editable_box(QComboBox* box) {
    box->setEditable(true);
    // Qt completes typed text from the list, ignoring letter case: "ab" would
    // become "abc", "ABC" would become "abc".
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    // On leaving the box Qt makes an entry matching the typed text (letter case
    // ignored) current, replaces the text by it and reports that as a pick: a
    // typed keyword would count as one chosen from the list. The box is the
    // only receiver of its line edit's editingFinished() at this point.
    QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
}

void limit_list_rows(QComboBox* box, int rows) {
    box->setMaxVisibleItems(rows);
    // A list without a text field opens as a menu of every entry in some
    // styles; as a list it keeps to the rows.
    box->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
}

void make_slim_arrow(QComboBox* box, int arrow_px) {
    auto* style = new SlimArrowStyle(arrow_px);
    style->setParent(box);
    box->setStyle(style);
}

}  // namespace tz
