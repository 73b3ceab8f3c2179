// The About box.
#pragma once

#include <QDialog>

namespace mavrel {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace mavrel
