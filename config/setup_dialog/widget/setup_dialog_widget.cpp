#include "config/setup_dialog/widget/setup_dialog_widget.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QValidator>
#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "config/setup_dialog/widget/original_key_code.h"
#include "config/setup_dialog/widget/status_headings.h"
#include "platform/ansi_text.h"

namespace tarvex {

namespace {

constexpr int TwipsPerPixel = 15;

int Pixels(int twips) { return (twips >= 0 ? twips + TwipsPerPixel / 2 : twips - TwipsPerPixel / 2) / TwipsPerPixel; }

QRect PixelRect(const Control& control) {
  return QRect(Pixels(control.Left()), Pixels(control.Top()), Pixels(control.Width()), Pixels(control.Height()));
}

void SetRoleColour(QWidget* widget, QPalette::ColorRole role, OleColour colour, bool everyState) {
  QPalette palette = widget->palette();
  const QColor qcolour = QColorOf(colour);
  if (everyState) {
    palette.setColor(role, qcolour);  // active, inactive and disabled alike
  } else {
    palette.setColor(QPalette::Active, role, qcolour);
    palette.setColor(QPalette::Inactive, role, qcolour);
  }
  widget->setPalette(palette);
}

// What the user may type into a box: no double quote, CR or LF where the text
// goes into a file, and no more than the box's maximum length. Texts set from
// code are not validated.
class TypedTextValidator final : public QValidator {
public:
  TypedTextValidator(const TextBox& box, QObject* parent) : QValidator(parent), box_(box) {}

  // The box's control still holds the text before the edit: it learns the new
  // one only once the edit is accepted. A text the code set is accepted as it is.
  State validate(QString& input, int&) const override {
    if (box_.FileText() && !FileTextAccepts(ToAnsi(input))) return Invalid;
    const qsizetype limit = box_.MaxLength();
    if (limit > 0 && input.size() > limit && input.size() > static_cast<qsizetype>(box_.Text().size())) {
      return Invalid;
    }
    return Acceptable;
  }

private:
  const TextBox& box_;
};

}  // namespace

QColor QColorOf(OleColour colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

SetupDialogWidget::SetupDialogWidget(SetupDialog& dialog, QWidget* parent)
    : QWidget(parent, Qt::Window), dialog_(dialog) {
  SetupDialogForm& form = dialog_.Form();
  // Making the widgets loads the form.
  form.EnsureLoaded();
  setObjectName(QString::fromStdString(form.frmTarvexStdSetup.Name()));
  QFont small(QStringLiteral("Liberation Sans"));
  small.setPixelSize(11);
  setFont(small);
  setAutoFillBackground(true);
  // Frames with their caption on the border line, as the dialog was designed.
  setStyleSheet(QStringLiteral("* { font-family: \"Liberation Sans\"; font-size: 11px; }"
                               "QGroupBox { border: 1px solid #a0a0a0; margin-top: 6px; background-color: #e0e0e0; }"
                               "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
  SetRoleColour(this, QPalette::Window, form.frmTarvexStdSetup.BackColor(), true);

  form.VisitControls([this](auto& control) { AddWidget(control); });

  QWidget* status = widgets_.at(&form.fStatus);
  auto* headings = new StatusHeadings(status);
  headings->setGeometry(Pixels(3700), Pixels(240), Pixels(1700), Pixels(1000));
  auto* area = new QFrame(status);
  area->setObjectName(QStringLiteral("statusListArea"));
  area->setFrameShape(QFrame::StyledPanel);
  area->setGeometry(Pixels(120), Pixels(1260), Pixels(5772), Pixels(1680));
  statusListArea_ = area;

  FollowWindow();
  SetTabOrderByLayout();
}

namespace {

// Controls whose tops lie within this many pixels stand on one row.
constexpr int RowTolerance = 8;

// The order of reading: rows top to bottom (a row begins at its first top
// and takes what lies within the tolerance), in each row left to right.
template <typename Item>
void SortByRows(std::vector<Item>& items, const std::function<QPoint(const Item&)>& at) {
  std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) { return at(a).y() < at(b).y(); });
  auto rowBegin = items.begin();
  while (rowBegin != items.end()) {
    const int top = at(*rowBegin).y();
    auto rowEnd = std::find_if(rowBegin, items.end(), [&](const Item& item) { return at(item).y() > top + RowTolerance; });
    std::stable_sort(rowBegin, rowEnd, [&](const Item& a, const Item& b) { return at(a).x() < at(b).x(); });
    rowBegin = rowEnd;
  }
}

}  // namespace

void SetupDialogWidget::SetTabOrderByLayout() {
  SetupDialogForm& form = dialog_.Form();
  QWidget* ok = widgets_.at(&form.cmdOk);
  QWidget* cancel = widgets_.at(&form.cmdCancel);
  // Each control belongs to the frame (or is itself the control) that stands
  // on the window.
  auto rootOf = [this](QWidget* widget) {
    while (widget->parentWidget() && widget->parentWidget() != this) widget = widget->parentWidget();
    return widget;
  };
  std::vector<QWidget*> roots;
  std::map<QWidget*, std::vector<QWidget*>> members;
  for (const auto& [control, widget] : widgets_) {
    if (!(widget->focusPolicy() & Qt::TabFocus) || widget == ok || widget == cancel) continue;
    QWidget* root = rootOf(widget);
    if (!members.count(root)) roots.push_back(root);
    members[root].push_back(widget);
  }
  const std::function<QPoint(QWidget* const&)> onWindow = [this](QWidget* const& widget) {
    return widget->mapTo(this, QPoint(0, 0));
  };
  SortByRows(roots, onWindow);
  std::vector<QWidget*> order;
  for (QWidget* root : roots) {
    SortByRows(members[root], onWindow);
    order.insert(order.end(), members[root].begin(), members[root].end());
  }
  order.push_back(ok);
  order.push_back(cancel);
  for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

QWidget* SetupDialogWidget::ControlWidget(const std::string& name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

QWidget* SetupDialogWidget::ParentOf(const Control& control) const {
  return control.Container() ? widgets_.at(control.Container()) : const_cast<SetupDialogWidget*>(this);
}

// The properties every control has.
void SetupDialogWidget::Follow(Control& control, QWidget* widget) {
  widget->setObjectName(QString::fromStdString(control.Name()));
  widgets_[&control] = widget;
  byName_[control.Name()] = widget;
  auto apply = [&control, widget] {
    widget->setEnabled(control.Enabled());
    widget->setGeometry(PixelRect(control));
    widget->setToolTip(FromAnsi(control.ToolTip()));
    widget->setVisible(control.Visible());
  };
  control.Watch(apply);
  apply();
}

void SetupDialogWidget::AddWidget(Label& label) {
  auto* widget = new QLabel(ParentOf(label));
  Follow(label, widget);
  auto apply = [&label, widget] {
    widget->setText(FromAnsi(label.Caption()));
    SetRoleColour(widget, QPalette::WindowText, label.ForeColor(), false);
  };
  label.Watch(apply);
  apply();
}

void SetupDialogWidget::AddWidget(Frame& frame) {
  auto* widget = new QGroupBox(ParentOf(frame));
  Follow(frame, widget);
  auto shown = std::make_shared<bool>(false);
  auto apply = [&frame, widget, shown] {
    widget->setTitle(FromAnsi(frame.Caption()));
    // A pop-out panel that opens covers the frames below it.
    if (frame.Visible() && !*shown) widget->raise();
    *shown = frame.Visible();
  };
  frame.Watch(apply);
  apply();
}

void SetupDialogWidget::AddWidget(Shape& shape) {
  auto* widget = new QFrame(ParentOf(shape));
  widget->setFrameShape(QFrame::Box);
  widget->setAttribute(Qt::WA_TransparentForMouseEvents);
  Follow(shape, widget);
}

void SetupDialogWidget::AddWidget(Button& button) {
  auto* widget = new QPushButton(ParentOf(button));
  Follow(button, widget);
  auto apply = [&button, widget] { widget->setText(FromAnsi(button.Caption())); };
  button.Watch(apply);
  apply();
  connect(widget, &QPushButton::clicked, this, [&button] { button.Click(); });
}

void SetupDialogWidget::AddWidget(ListBox& list) {
  auto* widget = new QComboBox(ParentOf(list));
  Follow(list, widget);
  // The entries are rebuilt with the signal of the rebuild ignored: the combo
  // box selects entry 0 on its own while entries are added.
  auto rebuilding = std::make_shared<bool>(false);
  auto apply = [&list, widget, rebuilding] {
    if (widget->count() != list.ListCount()) {
      *rebuilding = true;
      widget->clear();
      for (const std::string& item : list.Items()) widget->addItem(FromAnsi(item));
      *rebuilding = false;
    }
    if (widget->currentIndex() != list.ListIndex()) widget->setCurrentIndex(list.ListIndex());
    SetRoleColour(widget, QPalette::Base, list.BackColor(), true);
    SetRoleColour(widget, QPalette::Button, list.BackColor(), true);
  };
  list.Watch(apply);
  apply();
  connect(widget, &QComboBox::currentIndexChanged, this, [&list, rebuilding](int index) {
    if (!*rebuilding) list.SetListIndex(index);
  });
  widget->installEventFilter(this);
  filters_[widget] = [&list](QEvent* event) {
    if (event->type() == QEvent::FocusIn) list.GotFocus();
    return false;
  };
}

void SetupDialogWidget::AddWidget(CheckBox& box) {
  auto* widget = new QCheckBox(ParentOf(box));
  Follow(box, widget);
  auto apply = [&box, widget] {
    widget->setText(FromAnsi(box.Caption()));
    const Qt::CheckState state = box.Value() == 0 ? Qt::Unchecked : box.Value() == 1 ? Qt::Checked
                                                                                      : Qt::PartiallyChecked;
    if (widget->checkState() != state) widget->setCheckState(state);
  };
  box.Watch(apply);
  apply();
  connect(widget, &QCheckBox::stateChanged, this, [&box](int state) {
    box.SetValue(state == Qt::Unchecked ? 0 : state == Qt::Checked ? 1 : 2);
  });
  widget->installEventFilter(this);
  filters_[widget] = [&box](QEvent* event) {
    if (event->type() == QEvent::FocusIn) box.GotFocus();
    if (event->type() == QEvent::FocusOut) box.LostFocus();
    return false;
  };
}

void SetupDialogWidget::AddWidget(TextBox& box) {
  auto* widget = new QLineEdit(ParentOf(box));
  Follow(box, widget);
  widget->setValidator(new TypedTextValidator(box, widget));
  auto apply = [&box, widget] {
    const QString text = FromAnsi(box.Text());
    if (widget->text() != text) widget->setText(text);
    SetRoleColour(widget, QPalette::Base, box.BackColor(), true);
  };
  box.Watch(apply);
  apply();
  connect(widget, &QLineEdit::textEdited, this, [&box](const QString& text) { box.SetText(ToAnsi(text)); });
  widget->installEventFilter(this);
  filters_[widget] = [&box, widget](QEvent* event) {
    if (event->type() == QEvent::KeyPress && box.NumericKeys()) {
      return !NumericKeyAllowed(OriginalKeyCode(*static_cast<QKeyEvent*>(event)));
    }
    if (event->type() == QEvent::FocusIn && box.SelectAllOnFocus()) {
      // After the focus change, so that the click that gave the focus does not
      // undo the selection.
      QTimer::singleShot(0, widget, [widget] { widget->selectAll(); });
    }
    return false;
  };
}

void SetupDialogWidget::FollowWindow() {
  Window& window = dialog_.Form().frmTarvexStdSetup;
  auto apply = [this, &window] {
    setWindowTitle(FromAnsi(window.Caption()));
    // The controls stand at fixed places: a smaller window would hide OK and Cancel.
    setFixedSize(Pixels(window.Width()), Pixels(window.Height()));
    if (window.MousePointer() == MousePointer::Hourglass) {
      setCursor(Qt::WaitCursor);
    } else {
      unsetCursor();
    }
    if (isVisible() != window.Visible()) setVisible(window.Visible());
  };
  window.Watch(apply);
  apply();
}

void SetupDialogWidget::closeEvent(QCloseEvent* event) {
  // The dialog hides itself through its exit; the frame's close only asks.
  event->ignore();
  dialog_.FrameCloseRequested();
}

bool SetupDialogWidget::eventFilter(QObject* watched, QEvent* event) {
  const auto found = filters_.find(watched);
  if (found != filters_.end() && found->second(event)) return true;
  return QWidget::eventFilter(watched, event);
}

}  // namespace tarvex
