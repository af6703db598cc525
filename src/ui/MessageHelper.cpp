#include "ui/MessageHelper.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <deque>

namespace {
bool g_testMode = false;
std::deque<MessageHelper::Answer> g_answers;
QStringList g_shown;

const QString kCaption = QStringLiteral("Lumora");
} // namespace

void MessageHelper::Frage(QWidget* parent, const QString& text, std::function<void()> onYes) {
    if (g_testMode) {
        g_shown << text;
        const Answer answer = g_answers.empty() ? Answer::No : g_answers.front();
        if (!g_answers.empty())
            g_answers.pop_front();
        if (answer == Answer::Yes && onYes) {
            // Same order as a real dialog: the action runs after the caller has returned.
            QObject* context = parent ? static_cast<QObject*>(parent) : QCoreApplication::instance();
            QTimer::singleShot(0, context, std::move(onYes));
        }
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Question, kCaption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box->addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    box->addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QPushButton> yesButton(yes);
    QObject::connect(box, &QMessageBox::finished, box, [box, yesButton, onYes = std::move(onYes)](int) {
        if (onYes && yesButton && box->clickedButton() == yesButton)
            onYes();
    });
    box->open();
}

void MessageHelper::Hinweis(QWidget* parent, const QString& text) {
    if (g_testMode) {
        g_shown << text;
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, kCaption, text, QMessageBox::NoButton, parent);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MessageHelper::setTestMode(bool on) {
    g_testMode = on;
    g_answers.clear();
    g_shown.clear();
}

void MessageHelper::setNextAnswer(Answer answer) {
    g_answers.push_back(answer);
}

QStringList MessageHelper::shownTexts() {
    return g_shown;
}

void MessageHelper::clearShownTexts() {
    g_shown.clear();
}
