#pragma once

#include <QObject>

class ProgressLineTest : public QObject {
    Q_OBJECT

private slots:
    void lengthInPixels_data();
    void lengthInPixels();
    void repaintsOnlyWhenLengthChanges();
};
