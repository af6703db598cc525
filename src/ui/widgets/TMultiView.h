#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

// Side drawer: a panel that slides over its host from the left or right edge, with a
// dimmed backdrop that closes it when tapped. While disabled it cannot be opened.
class TMultiView : public QWidget {
    Q_OBJECT
public:
    TMultiView(Qt::Edge edge, const QString& title, QWidget* host, int drawerWidth = 320);

    QVBoxLayout* contentLayout() const { return m_content; }
    QLabel* titleLabel() const { return m_title; }

    void ShowMaster();
    void HideMaster();
    bool IsShowed() const { return isVisible(); }

signals:
    void hidden();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void placeDrawer();

    Qt::Edge m_edge;
    int m_drawerWidth;
    QWidget* m_drawer;
    QLabel* m_title;
    QVBoxLayout* m_content;
};
