// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/form.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

namespace solandre {

int twips(double value)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return int(value * dpi / 1440.0 + 0.5);
}

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void setTextColour(QWidget* widget, unsigned rgb)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(rgb));
    widget->setPalette(palette);
}

void setCaptionColour(QGroupBox* frame, unsigned rgb)
{
    frame->setStyleSheet(QStringLiteral("QGroupBox#%1::title { color: %2; }")
                             .arg(frame->objectName(), QColor::fromRgb(rgb).name()));
}

QFont timesFont(double points, bool bold, bool italic)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

Form::Form(FormRegistry& forms, const QString& caption) : forms_(forms), client_(new QWidget(this))
{
    setWindowTitle(caption);
    client_->setObjectName(QStringLiteral("client"));
    client_->setAutoFillBackground(true);
    QPalette palette = client_->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(colours::kPaleYellow));
    client_->setPalette(palette);
    setCentralWidget(client_);
}

void Form::setClientSize(int widthTwips, int heightTwips)
{
    client_->setFixedSize(twips(widthTwips), twips(heightTwips));
    adjustSize();
}

QLabel* Form::label(QWidget* parent, const QString& name, const QString& text, int left,
                    int top, int width, int height)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    place(label, left, top, width, height);
    return label;
}

QGroupBox* Form::frame(QWidget* parent, const QString& name, const QString& caption, int left,
                       int top, int width, int height)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    box->setFont(timesFont(11.25, true, true));
    setCaptionColour(box, colours::kRed);
    place(box, left, top, width, height);
    return box;
}

QLineEdit* Form::textBox(QWidget* parent, const QString& name, int left, int top, int width,
                         int height)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setFont(QFont());
    place(box, left, top, width, height);
    return box;
}

QPushButton* Form::button(QWidget* parent, const QString& name, const QString& caption, int left,
                          int top, int width, int height, std::function<void()> onClick)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFont(QFont());
    place(button, left, top, width, height);
    connect(button, &QPushButton::clicked, this, [onClick = std::move(onClick)] { onClick(); });
    return button;
}

QLineEdit* Form::pathFrame(const QString& frameName, const QString& caption, int left, int top,
                          int height, const QString& boxName, const QString& buttonName,
                          const QString& buttonCaption, std::function<void()> onClick)
{
    QGroupBox* box = frame(client_, frameName, caption, left, top, 8415, height);
    QLineEdit* path = textBox(box, boxName, 240, 360, 6495, 285);
    button(box, buttonName, buttonCaption, 6960, 290, 1095, 375, std::move(onClick));
    return path;
}

void Form::titleBanner(int left, int top, int width, int height)
{
    // Label2 lies under Label1 and shows through as its shadow.
    const QString title = QStringLiteral("Quillarne - Concordancias VXT");
    QLabel* shadow = label(client_, QStringLiteral("Label2"), title, left + 30, top + 30, width, height);
    QLabel* front = label(client_, QStringLiteral("Label1"), title, left, top, width, height);
    for (QLabel* l : {shadow, front}) {
        l->setFont(timesFont(24, true));
        l->setAlignment(Qt::AlignCenter);
    }
    setTextColour(shadow, 0x808080);
    setTextColour(front, colours::kDarkBlue);
}

QMenu* Form::menu(const QString& name, const QString& caption)
{
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QAction* Form::item(QMenu* menu, const QString& name, const QString& caption,
                    std::function<void()> handler)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    return action;
}

void Form::separator(QMenu* menu, const QString& name) { menu->addSeparator()->setObjectName(name); }

void Form::closeEvent(QCloseEvent* event)
{
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    forms_.unload(objectName());
}

} // namespace solandre
