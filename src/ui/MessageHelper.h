#pragma once

#include <QStringList>

#include <functional>

class QWidget;

// The window's one door to the user for questions and notices. Questions are asynchronous:
// the action runs after the user answered "Ja". Tests switch to test mode, queue answers with
// setNextAnswer and read what would have been shown; nothing blocks and no box opens.
class MessageHelper {
public:
    enum class Answer { Yes, No };

    static void Frage(QWidget* parent, const QString& text, std::function<void()> onYes);
    static void Hinweis(QWidget* parent, const QString& text);

    static void setTestMode(bool on);
    static void setNextAnswer(Answer answer);
    static QStringList shownTexts();
    static void clearShownTexts();
};
