#include "ui/editable_box.h"

#include <QComboBox>
#include <QLineEdit>

namespace tz {

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

}  // namespace tz
