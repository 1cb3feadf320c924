#include "KeyboardShortcuts/Recorder.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>

namespace KeyboardShortcuts {

Recorder::Recorder(const Name& name, RecorderOnChange onChange, QWidget* parent)
    : QWidget(parent), control_(new RecorderCocoa(name, std::move(onChange), this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(control_);
}

Recorder::Recorder(const QString& title, const Name& name, RecorderOnChange onChange,
                   QWidget* parent)
    : Recorder(name, std::move(onChange), parent) {
    label_ = new QLabel(title, this);
    label_->setTextFormat(Qt::PlainText);
    label_->setBuddy(control_);
    static_cast<QHBoxLayout*>(layout())->insertWidget(0, label_);
}

Recorder::Recorder(TitleKey title, const Name& name, RecorderOnChange onChange, QWidget* parent)
    : Recorder(QCoreApplication::translate(title.context, title.key), name, std::move(onChange),
               parent) {}

void Recorder::setName(const Name& name) {
    control_->setShortcutName(name);
}

} // namespace KeyboardShortcuts
