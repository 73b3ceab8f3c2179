// The About box.
#pragma once

#include <QDialog>

namespace mavrel {

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
};

} // namespace mavrel
