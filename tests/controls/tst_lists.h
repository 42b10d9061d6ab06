#pragma once

#include "tests/support/TestEnvironment.h"

#include <QObject>

#include <memory>

class ListControlsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void patternMatching_data();
    void patternMatching();

    void fileListShowsMatchingFilesSortedWithoutCase();
    void fileListClickOnEverySelectionChange();
    void fileListMouse();
    void fileListOpensFolderWithoutRegardToCase();
    void fileListRefreshFollowsTheDisk();

    void dirListPathTexts();
    void dirListChangeOnlyWhenThePathChanges();
    void dirListOpensByDoubleClickAndEnter();
    void dirListRefusesWhatCannotBeOpened();
    void dirListDriveAloneOpensItsCurrentFolder();

    void driveListOffersTheTable();
    void comboSelectsByTextWithoutCase();

private:
    void makeFile(const QString &relative);
    std::unique_ptr<testsupport::HermeticEnvironment> m_env;
};
