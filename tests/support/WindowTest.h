#pragma once

#include "support/FakeDesktop.h"
#include "ui/Form1.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QComboBox;

namespace quorel::core
{
class OneBasedStrings;
}

namespace quorel::tests
{
// The same fresh start for every window test: a new Form1 on a FakeDesktop, its settings in a
// temporary folder of its own, and the program-wide state reset. A test class that needs more in
// init() or cleanup() declares its own and calls these first.
class WindowTest : public QObject
{
    Q_OBJECT

protected Q_SLOTS:
    void init();
    void cleanup();

protected:
    FakeDesktop &fake() const { return *m_fake; }
    ui::Form1 &form() const { return *m_form; }
    QString pathOf(const QString &name) const { return m_dir->filePath(name); }
    QString folderPath() const { return m_dir->path(); }

    // Another window on the same desktop and settings folder, as a later run of the program would be.
    std::unique_ptr<ui::Form1> newWindow();
    // Replaces the window under test with a new one.
    void reopenWindow() { m_form = newWindow(); }

    static QStringList itemsOf(const QComboBox &box);
    static QStringList entriesOf(const core::OneBasedStrings &list, int count);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeDesktop> m_fake;
    std::unique_ptr<ui::Form1> m_form;
};
}
