#pragma once

#include <QFrame>

class QLabel;

/// A one-line tip over the report that names a station: the favourite under the pointer, or the code just
/// chosen in a list.
class StationTip final : public QFrame
{
    Q_OBJECT

public:
    explicit StationTip(QWidget* parent);
    Q_DISABLE_COPY_MOVE(StationTip)

    /// Shows @p description at the tip's current height.
    void showDescription(const QString& description);
    /// Shows @p description at height @p top of the parent.
    void showDescriptionAt(int top, const QString& description);

private:
    QLabel* m_text = nullptr;
    QFrame* m_background = nullptr;
};
