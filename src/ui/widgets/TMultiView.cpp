#include "ui/widgets/TMultiView.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

TMultiView::TMultiView(Qt::Edge edge, const QString& title, QWidget* host, int drawerWidth)
    : QWidget(host), m_edge(edge), m_drawerWidth(drawerWidth) {
    m_drawer = new QWidget(this);
    m_drawer->setObjectName(QStringLiteral("MultiViewDrawer"));
    m_drawer->setAutoFillBackground(true);
    m_drawer->setStyleSheet(QStringLiteral("#MultiViewDrawer { background: #ffffff; }"));

    auto* drawerLayout = new QVBoxLayout(m_drawer);
    drawerLayout->setContentsMargins(0, 0, 0, 0);
    drawerLayout->setSpacing(0);
    m_title = new QLabel(title, m_drawer);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFixedHeight(44);
    m_title->setStyleSheet(QStringLiteral("background: #37474f; color: white; font-weight: bold; font-size: 15px;"));
    drawerLayout->addWidget(m_title);
    m_content = new QVBoxLayout;
    m_content->setContentsMargins(8, 8, 8, 8);
    m_content->setSpacing(6);
    drawerLayout->addLayout(m_content, 1);

    host->installEventFilter(this);
    hide();
}

void TMultiView::ShowMaster() {
    if (!isEnabled())
        return;
    placeDrawer();
    raise();
    show();
}

void TMultiView::HideMaster() {
    if (!isVisible())
        return;
    hide();
    emit hidden();
}

void TMultiView::placeDrawer() {
    setGeometry(parentWidget()->rect());
    const int w = qMin(m_drawerWidth, width());
    const int x = m_edge == Qt::RightEdge ? width() - w : 0;
    m_drawer->setGeometry(x, 0, w, height());
}

bool TMultiView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        placeDrawer();
    return QWidget::eventFilter(watched, event);
}

void TMultiView::mousePressEvent(QMouseEvent* event) {
    if (!m_drawer->geometry().contains(event->position().toPoint()))
        HideMaster();
}

void TMultiView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 90));
}
