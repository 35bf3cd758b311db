#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class TZQuery;
class XmlDocument;

// The directory export: the whole directory, newest first, into the XML file
// "zefiranrehber.xml" and into a new workbook in the exports folder, both from one walk over
// the search dataset, which stays open on the directory at its end.
//
// Failures throw Error and leave no file half written under its real name, and no new
// workbook unless the whole export succeeded: a workbook that cannot be made stops the export
// before the dataset is touched; a failing query writes neither file; an XML file that
// cannot be written keeps no workbook; a workbook that cannot be written may leave the new
// XML file, whole. After the query the dataset ends open on the directory, at its end.
class DirectoryExport {
public:
    static constexpr const char *kStatement = "Select * from rehber order by tarih desc";
    static constexpr const char *kXmlFileName = "zefiranrehber.xml";

    // The points the export passes; each follows the work it names. After DirectoryOpened
    // the worksheet (SheetFilled, WorkbookWritten) and the XML file (XmlBuilt, XmlSaved) are
    // written at the same time, on two threads.
    enum class Step {
        WorkbookCreated,
        DirectoryOpened,
        SheetFilled,
        WorkbookWritten,
        XmlBuilt,
        XmlSaved
    };

    // folder: where the XML file goes; the workbooks go into its "exports" folder.
    DirectoryExport(TZQuery &ZQuery2, XmlDocument &document, const QString &folder);

    // Runs the export and returns the path of the new workbook, named after the time.
    QString run(const QDateTime &now = QDateTime::currentDateTime());

    // Told of each step as it is passed, for measuring them; called on the thread that
    // passed it.
    std::function<void(Step)> onStep;

    // "<folder>/exports/rehber-YYYYMMDD-HHMMSS.xlsx"; the attempts after the first get a
    // suffix ("-2", "-3", ...), for exports that fall in one second.
    static QString workbookPath(const QString &folder, const QDateTime &time, int attempt);

private:
    void passed(Step step) {
        if (onStep)
            onStep(step);
    }

    TZQuery &ZQuery2;
    XmlDocument &m_document;
    QString m_folder;
};
