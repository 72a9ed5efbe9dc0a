#pragma once

#include "TemperamentStore.h"

#include <QGroupBox>

#include <functional>

class CDoreme;
class QComboBox;
class QSpinBox;

// The temperament part of Set Parameters: Temperament (the built-in ones, the Scala files loaded
// before, and "Load a Scala file..."), Root and Transpose. It changes nothing until Apply; a
// file that cannot be used is refused with the reader's message and the choice stays as it was.
class CTemperamentBox : public QGroupBox {
    Q_OBJECT
public:
    CTemperamentBox(const CDoreme& doreme, QWidget* parent = nullptr);

    // What asks for the file to load (a file dialog; a test puts its own); it returns empty
    // when the user cancels.
    void SetFilePicker(std::function<QString()> pick) { m_pickFile = std::move(pick); }

    // What is chosen now.
    TemperamentChoice Choice() const;
    // Lays the choice on doreme and keeps it in the settings.
    void Apply(CDoreme& doreme) const;

    // "Werckmeister III on C, transposed -2": what the status bar shows; empty for equal
    // temperament without transposition.
    static QString StatusText(const CDoreme& doreme);
    static QString DisplayName(const QString& name);

private:
    void OnTemperamentChosen(int index);
    int AddFile(const TemperamentChoice& file);

    std::function<QString()> m_pickFile;
    QComboBox* m_temperaments = nullptr;
    QComboBox* m_roots = nullptr;
    QSpinBox* m_transpose = nullptr;
    QList<TemperamentChoice> m_files; // by the index in the item's data past the built-ins
    int m_nCurrent = 0;
};
