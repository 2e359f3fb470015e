#include "ui/qt/QtControls.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "ui/core/Dialog.h"
#include "ui/core/Menu.h"
#include "ui/qt/QtIcons.h"
#include "ui/qt/QtPictureWidget.h"

namespace ui::qt {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

// The dpi at which one dialog unit has the sizes given by DialogUnits.
constexpr double kReferenceDpi = 96.0;

bool IsButton(ControlKind kind) {
  return kind == ControlKind::PushButton || kind == ControlKind::DefPushButton ||
         kind == ControlKind::CheckBox;
}

std::unique_ptr<QWidget> MakeWidget(QWidget& parent, const ControlTemplate& c,
                                    const DialogScale& scale) {
  switch (c.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
      auto button = std::make_unique<QPushButton>(FromUtf8(c.text), &parent);
      // Enter is the dialog's to handle (ModalDialog::HandleKey), so no button
      // may take it over through Qt's auto-default logic; the default button
      // is only drawn as such.
      button->setAutoDefault(false);
      button->setDefault(c.kind == ControlKind::DefPushButton);
      return button;
    }
    case ControlKind::Edit: {
      auto edit = std::make_unique<QLineEdit>(FromUtf8(c.text), &parent);
      edit->setFrame((c.style & kBorder) != 0);
      return edit;
    }
    case ControlKind::CheckBox:
      return std::make_unique<QCheckBox>(FromUtf8(c.text), &parent);
    case ControlKind::Picture: {
      // The surface keeps the 96-dpi size of the control, because the program
      // draws its frames into it pixel for pixel.
      const DialogUnits& units = scale.units;
      return std::make_unique<QtPictureWidget>(&parent, units.ToPixelsX(c.width),
                                               units.ToPixelsY(c.height));
    }
    case ControlKind::Icon: {
      auto label = std::make_unique<QLabel>(&parent);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      if (c.icon != nullptr)
        label->setPixmap(IconPixmap(c.icon->large));
      return label;
    }
    case ControlKind::Label:
      break;
  }
  auto label = std::make_unique<QLabel>(LabelText(c.text, c.style), &parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

void SetFocusPolicy(QWidget& widget, const ControlTemplate& c) {
  const bool takesInput = IsButton(c.kind) || c.kind == ControlKind::Edit;
  if (!takesInput)
    widget.setFocusPolicy(Qt::NoFocus);
  else if ((c.style & kTabStop) == 0)
    widget.setFocusPolicy(Qt::ClickFocus);
  else
    widget.setFocusPolicy(Qt::StrongFocus);
}

}  // namespace

int DialogScale::X(int du) const {
  return static_cast<int>(std::lround(units.ToPixelsX(du) * factor));
}

int DialogScale::Y(int du) const {
  return static_cast<int>(std::lround(units.ToPixelsY(du) * factor));
}

QRect DialogScale::Rect(int x, int y, int width, int height) const {
  // Both edges are converted, so that neighbouring controls stay flush after
  // rounding.
  const int left = X(x);
  const int top = Y(y);
  return {left, top, X(x + width) - left, Y(y + height) - top};
}

DialogScale ScreenScale() {
  DialogScale scale;
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    scale.factor = std::max(1.0, screen->logicalDotsPerInchX() / kReferenceDpi);
  return scale;
}

QtPictureWidget* QtControl::Picture() const {
  return kind == ControlKind::Picture ? static_cast<QtPictureWidget*>(widget.get()) : nullptr;
}

std::vector<QtControl> CreateControls(QWidget& parent, ModalDialog& dialog,
                                      const DialogScale& scale) {
  std::vector<QtControl> controls;
  QWidget* previousStop = nullptr;
  for (const ControlTemplate& c : dialog.Template().controls) {
    QtControl control;
    control.id = c.id;
    control.kind = c.kind;
    control.style = c.style;
    control.text = std::string(c.text);
    control.widget = MakeWidget(parent, c, scale);
    QWidget& widget = *control.widget;
    // Tests and tools find a control by its id.
    widget.setObjectName(QString::number(c.id));
    QRect where = scale.Rect(c.x, c.y, c.width, c.height);
    if (const QtPictureWidget* picture = control.Picture()) {
      // Rounding must never cut off part of the surface.
      const Surface& surface = picture->PixelSurface();
      where.setSize(where.size().expandedTo(QSize(surface.Width(), surface.Height())));
    }
    if (c.kind == ControlKind::Icon && c.icon != nullptr) {
      // An icon control takes the size of its icon, whatever the template says.
      where.setSize(where.size().expandedTo(QSize(c.icon->large.size, c.icon->large.size)));
    }
    if (c.kind == ControlKind::Label || c.kind == ControlKind::CheckBox) {
      // The template was laid out for a narrower face than the sans-serif
      // fonts found here: a caption is never cut off, it may run a little
      // further right into the empty space the templates leave after it.
      where.setWidth(std::max(where.width(), widget.sizeHint().width()));
    }
    widget.setGeometry(where);
    SetFocusPolicy(widget, c);
    if (IsButton(c.kind)) {
      const auto message = MakeWParam(static_cast<UINT>(c.id), BN_CLICKED);
      // An automatic check box has already changed its state when the click
      // arrives, as the handler expects.
      QObject::connect(static_cast<QAbstractButton*>(&widget), &QAbstractButton::clicked, &widget,
                       [&dialog, message] { dialog.SendMessage(WM_COMMAND, message, 0); });
    }
    // Tab order is template order over the tab stops.
    if ((c.style & kTabStop) != 0) {
      if (previousStop != nullptr)
        QWidget::setTabOrder(previousStop, &widget);
      previousStop = &widget;
    }
    controls.push_back(std::move(control));
  }
  return controls;
}

void SetControlText(QtControl& control, std::string_view text) {
  control.text = std::string(text);
  switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::CheckBox:
      // Buttons mark mnemonics with "&" just as Qt does.
      static_cast<QAbstractButton*>(control.widget.get())->setText(FromUtf8(text));
      break;
    case ControlKind::Edit:
      static_cast<QLineEdit*>(control.widget.get())->setText(FromUtf8(text));
      break;
    case ControlKind::Label:
      static_cast<QLabel*>(control.widget.get())->setText(LabelText(text, control.style));
      break;
    case ControlKind::Picture:
    case ControlKind::Icon:
      break;
  }
}

QString LabelText(std::string_view text, unsigned style) {
  if ((style & kNoPrefix) != 0)
    return FromUtf8(text);
  return QString::fromStdString(StripMnemonic(std::string(text)));
}

}  // namespace ui::qt
