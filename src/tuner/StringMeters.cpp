#include "StringMeters.h"

#include "StringMeter.h"
#include "StrumReadout.h"

#include <QGridLayout>

CStringMeters::CStringMeters(QWidget* parent) : QWidget(parent) {
    setObjectName("stringMeters");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
}

void CStringMeters::Show(const StrumReadout& readout) {
    const auto& meters = readout.Meters();
    const int instrument = readout.Instrument().value_or(-1);
    if (instrument != m_nInstrument || meters.size() != m_meters.size()) {
        m_nInstrument = instrument;
        for (CStringMeter* meter : m_meters) {
            delete meter;
        }
        m_meters.clear();
        auto* grid = static_cast<QGridLayout*>(layout());
        const int count = static_cast<int>(meters.size());
        const int columns = count <= 4 ? 1 : (count <= 8 ? 2 : 3);
        const int rows = (count + columns - 1) / columns;
        for (int i = 0; i < count; ++i) {
            auto* meter = new CStringMeter(this);
            meter->setObjectName(QStringLiteral("stringMeter%1").arg(i));
            grid->addWidget(meter, i % rows, i / rows);
            m_meters.push_back(meter);
        }
    }
    for (std::size_t i = 0; i < meters.size(); ++i) {
        m_meters[i]->Show(meters[i]);
    }
}
