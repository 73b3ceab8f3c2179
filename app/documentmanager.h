// What the editor's windows share, one for the whole application: the
// questions and file choosers they put to the user.
#pragma once

#include "userdialogs.h"

#include <QObject>

#include <memory>

namespace mavrel {

class DocumentManager : public QObject {
    Q_OBJECT
public:
    // The application's manager, made on first use; it goes with the application.
    static DocumentManager* instance();

    UserDialogs& dialogs() const { return m_dialogs ? *m_dialogs : *m_qtDialogs; }
    // Puts other dialogs in the place of Qt's (the tests' scripted answers);
    // nullptr gives Qt's back. The caller keeps them alive meanwhile.
    void setDialogs(UserDialogs* dialogs) { m_dialogs = dialogs; }

private:
    explicit DocumentManager(QObject* parent);
    ~DocumentManager() override;

    std::unique_ptr<UserDialogs> m_qtDialogs;
    UserDialogs* m_dialogs = nullptr;
};

} // namespace mavrel
