#include "ui/widgets/TListViewUebersicht.h"

#include "ui/widgets/AmpelBilder.h"
#include "ui/widgets/Symbole.h"

#include <QAbstractListModel>
#include <QPainter>
#include <QStyledItemDelegate>

class UebersichtModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(zeilen.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const UebersichtZeile& z = zeilen[static_cast<size_t>(index.row())];
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return z.IstHeader ? z.HeaderText : z.ItemTyp;
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid())
            return Qt::NoItemFlags;
        if (zeilen[static_cast<size_t>(index.row())].IstHeader)
            return Qt::ItemIsEnabled;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

    void beginBatch() {
        if (batch++ == 0)
            beginResetModel();
    }
    void endBatch() {
        if (batch > 0 && --batch == 0)
            endResetModel();
    }
    void append(const UebersichtZeile& zeile) {
        const int row = rowCount();
        if (batch == 0)
            beginInsertRows({}, row, row);
        zeilen.push_back(zeile);
        if (batch == 0)
            endInsertRows();
    }
    void changed(int row) {
        if (batch == 0)
            emit dataChanged(index(row), index(row));
    }

    std::vector<UebersichtZeile> zeilen;
    int batch = 0;
};

namespace {

class UebersichtDelegate : public QStyledItemDelegate {
public:
    UebersichtDelegate(UebersichtModel* model, QObject* parent) : QStyledItemDelegate(parent), m_model(model) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool header = m_model->zeilen[static_cast<size_t>(index.row())].IstHeader;
        return {option.rect.width(), header ? TListViewUebersicht::kHeaderHoehe : TListViewUebersicht::kZeilenHoehe};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const UebersichtZeile& z = m_model->zeilen[static_cast<size_t>(index.row())];
        const QRect r = option.rect;
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setRenderHint(QPainter::TextAntialiasing);
        const bool enabled = option.state & QStyle::State_Enabled;
        if (z.IstHeader) {
            p->fillRect(r, QColor(0xec, 0xef, 0xf1));
            QFont f = option.font;
            f.setBold(true);
            p->setFont(f);
            p->setPen(enabled ? Qt::black : QColor(0x80, 0x80, 0x80));
            p->drawText(r.adjusted(12, 0, -12, 0), Qt::AlignVCenter | Qt::AlignLeft, z.HeaderText);
        } else {
            p->fillRect(r, (option.state & QStyle::State_Selected) ? QColor(0xd6, 0xe9, 0xfb) : QColor(Qt::white));
            paintObjekt(p, option, r, z.ItemBackGroundText, Qt::AlignRight, 20, 0.25);
            paintObjekt(p, option, r, z.ItemZeitVon);
            paintObjekt(p, option, r, z.ItemZeitBis);
            paintObjekt(p, option, r, z.ItemZeitTotal);
            paintObjekt(p, option, r, z.ItemKostenArt);
            QColor zusatz = z.ItemZusatzText.Farbe;
            paintObjekt(p, option, r, z.ItemZusatzText, Qt::AlignLeft, 0, 1.0, zusatz);
            const int rechts = r.right() - 4;
            if (z.AccessoryVisible)
                p->drawPixmap(rechts - 20, r.top() + (r.height() - 20) / 2,
                              Symbole::Bild(Symbole::Art::Chevron, 20, QColor(0x90, 0xa4, 0xae)));
            if (z.ItemAmpelImageVisible && z.ItemAmpelImage >= 0) {
                const int x = rechts - 20 - 4 - AmpelBilder::kGroesse;
                p->setOpacity(enabled ? 1.0 : 0.5);
                p->drawPixmap(x, r.top() + (r.height() - AmpelBilder::kGroesse) / 2,
                              AmpelBilder::Bild(z.ItemAmpelImage));
                p->setOpacity(1.0);
            }
            p->setPen(QColor(0xe0, 0xe0, 0xe0));
            p->drawLine(r.left() + 10, r.bottom(), r.right(), r.bottom());
        }
        p->restore();
    }

private:
    static void paintObjekt(QPainter* p, const QStyleOptionViewItem& option, const QRect& row,
                            const UebersichtObjekt& o, Qt::Alignment align = Qt::AlignLeft, int pointSize = 0,
                            qreal opacity = 1.0, QColor farbe = {}) {
        if (!o.Visible || o.Text.isEmpty())
            return;
        QFont f = option.font;
        if (pointSize > 0) {
            f.setPointSize(pointSize);
            f.setBold(true);
        }
        p->setFont(f);
        const int breite = o.BreiteMinus > 0 ? row.width() - o.BreiteMinus : row.width() - o.Pos.x();
        const int hoehe = pointSize > 0 ? row.height() : 22;
        const int x = o.Pos.x() >= 0 ? row.left() + o.Pos.x() : row.right() + o.Pos.x() - breite;
        const QRect box(x, row.top() + 3 + o.Pos.y(), breite, hoehe - (pointSize > 0 ? 6 : 0));
        QColor c = farbe.isValid() ? farbe : o.Farbe;
        if (!(option.state & QStyle::State_Enabled))
            c.setAlphaF(0.5);
        p->setOpacity(opacity);
        p->setPen(c);
        const QString text = QFontMetrics(f).elidedText(o.Text, Qt::ElideRight, box.width());
        p->drawText(box, align | Qt::AlignVCenter, text);
        p->setOpacity(1.0);
    }

    UebersichtModel* m_model;
};

} // namespace

TListViewUebersicht::TListViewUebersicht(QWidget* parent) : QListView(parent), m_model(new UebersichtModel(this)) {
    setModel(m_model);
    setItemDelegate(new UebersichtDelegate(m_model, this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(false);
    connect(this, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && !Zeile(index.row()).IstHeader)
            emit itemClicked(index.row());
    });
}

void TListViewUebersicht::BeginUpdate() {
    m_model->beginBatch();
}

void TListViewUebersicht::EndUpdate() {
    m_model->endBatch();
}

void TListViewUebersicht::Clear() {
    BeginUpdate();
    m_model->zeilen.clear();
    EndUpdate();
}

void TListViewUebersicht::AddZeile(const UebersichtZeile& zeile) {
    UebersichtZeile z = zeile;
    ListView_UebersichtUpdateObjects(z);
    m_model->append(z);
}

void TListViewUebersicht::SetZeile(int row, const UebersichtZeile& zeile) {
    if (row < 0 || row >= Count())
        return;
    UebersichtZeile& z = m_model->zeilen[static_cast<size_t>(row)];
    z = zeile;
    ListView_UebersichtUpdateObjects(z);
    m_model->changed(row);
}

int TListViewUebersicht::Count() const {
    return m_model->rowCount();
}

const UebersichtZeile& TListViewUebersicht::Zeile(int row) const {
    return m_model->zeilen.at(static_cast<size_t>(row));
}

QRect TListViewUebersicht::ZeilenRect(int row) const {
    return visualRect(m_model->index(row));
}

void TListViewUebersicht::Deselect() {
    clearSelection();
}

void TListViewUebersicht::SetHinweis(const QString& text) {
    m_hinweis = text;
    viewport()->update();
}

void TListViewUebersicht::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (Count() > 0 || m_hinweis.isEmpty())
        return;
    QPainter p(viewport());
    p.setPen(QColor(0x90, 0xa4, 0xae));
    p.drawText(viewport()->rect().adjusted(24, 0, -24, 0), Qt::AlignCenter | Qt::TextWordWrap, m_hinweis);
}
