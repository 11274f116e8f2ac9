#pragma once

#include "base/Jobs.h"

#include <QList>
#include <QString>
#include <QStringList>

// A progress sink that keeps every report of a job, for the test to read back.
class RecordingSink final : public ProgressSink
{
public:
    struct Bar {
        int bar = 0;
        double percent = 0;
        QString text;
    };

    void setBar(int bar, double percent, const QString &text) override
    {
        bars.append({bar, percent, text});
    }
    void setStatus(const QString &text) override { statuses << text; }

    // The reports on `bar`, in order.
    QList<Bar> barsOn(int bar) const
    {
        QList<Bar> out;
        for (const Bar &b : bars)
            if (b.bar == bar)
                out << b;
        return out;
    }
    // The percentages reported on `bar`, or on every bar for 0.
    QList<double> percents(int bar = 0) const
    {
        QList<double> out;
        for (const Bar &b : bars)
            if (bar == 0 || b.bar == bar)
                out << b.percent;
        return out;
    }
    // The texts reported on `bar`.
    QStringList texts(int bar) const
    {
        QStringList out;
        for (const Bar &b : barsOn(bar))
            out << b.text;
        return out;
    }

    QList<Bar> bars;
    QStringList statuses;
};
