#pragma once
// The window of the setup dialog: one Qt widget per control of
// SetupDialogForm, named after the control ("cb(3)", "ckBidirectional", ...).
//
// The form is the state; the widgets show it and pass the user's actions back.
// A widget follows every change of its control (the control tells its
// watchers); a user's change sets the control, which runs the dialog's logic.
// Setting a control to the value it already holds does nothing, so a widget
// that reports back a value the form just gave it changes nothing.
//
// Qt differs from the original in ways this class evens out: a combo box takes
// entry 0 when entries are added (the list keeps the form's selection, none at
// first), a line edit's maximum length also clips texts set from code (the
// form's limit applies only to typing, through a validator), and a disabled
// box would take the style's disabled colour (each box's colour is set for
// every state).
//
// The form's controls keep watchers that point at these widgets, so the window
// must live as long as the dialog (SetupDialogWindowHost keeps it for the run).
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "config/setup_dialog/setup_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarvex {

class SetupDialogWidget final : public QWidget {
  Q_OBJECT
public:
  explicit SetupDialogWidget(SetupDialog& dialog, QWidget* parent = nullptr);

  // The widget that shows the named control; nullptr for an unknown name.
  QWidget* ControlWidget(const std::string& name) const;
  // Where the status-table editor puts its list TDBList1: an empty area of the
  // frame fStatus below the headings.
  QWidget* StatusListArea() const noexcept { return statusListArea_; }

  // Shows one more control in the window, in the frame it stands in (which must
  // have its widget already) or on the window itself. The status-table editor
  // adds its entry frame this way.
  void AddWidget(Label& label);
  void AddWidget(Frame& frame);
  void AddWidget(Shape& shape);
  void AddWidget(Button& button);
  void AddWidget(ListBox& list);
  void AddWidget(CheckBox& box);
  void AddWidget(TextBox& box);

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* ParentOf(const Control& control) const;
  void Follow(Control& control, QWidget* widget);
  void FollowWindow();
  // Tab goes through the controls as they are laid out: frame by frame in
  // reading order, in each frame top to bottom and left to right, OK and
  // Cancel last.
  void SetTabOrderByLayout();

  SetupDialog& dialog_;
  std::map<const Control*, QWidget*> widgets_;
  std::map<std::string, QWidget*> byName_;
  std::map<QObject*, std::function<bool(QEvent*)>> filters_;
  QWidget* statusListArea_ = nullptr;
};

// The Qt colour of a &HBBGGRR number.
QColor QColorOf(OleColour colour);

}  // namespace tarvex
