#pragma once

#include "ui/widgets/UebersichtZeile.h"

#include <QListView>

#include <vector>

class UebersichtModel;

// The list of the daily overview: header rows 30 pixels, record rows 50 pixels high, each
// row painted from its UebersichtZeile. Rows are replaced as a whole between BeginUpdate and
// EndUpdate; a click on a row that is no header is reported by itemClicked.
class TListViewUebersicht : public QListView {
    Q_OBJECT
public:
    static constexpr int kZeilenHoehe = 50;
    static constexpr int kHeaderHoehe = 30;

    explicit TListViewUebersicht(QWidget* parent = nullptr);

    void BeginUpdate();
    void EndUpdate();
    void Clear();
    void AddZeile(const UebersichtZeile& zeile);
    void SetZeile(int row, const UebersichtZeile& zeile);

    int Count() const;
    const UebersichtZeile& Zeile(int row) const;
    QRect ZeilenRect(int row) const;
    void Deselect();
    // Shown in place of rows while the list is empty.
    void SetHinweis(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

signals:
    void itemClicked(int row);

private:
    UebersichtModel* m_model;
    QString m_hinweis;
};
