#include "qso/frmEditQSO.h"

#include "rules/Rules.h"
#include "storage/Codes.h"
#include "storage/KeptFields.h"
#include "ui/Services.h"
#include "ui/Windows.h"

namespace hm52 {

frmEditQSO::frmEditQSO(Services& services, Windows& reg)
    : QsoForm(services, reg,
              Traits{.caretAtEnd = true, .callLostFocus = false, .limitsAfterQuotes = false}),
      editCount(reg.editCount()) {
    setObjectName(QStringLiteral("frmEditQSO"));
    setWindowTitle(QStringLiteral("Edit QSO"));
}

void frmEditQSO::cmdSubmit_Click() {
    submit();
}

void frmEditQSO::submit() {
    if (!validate()) {
        return;
    }
    const QString key = QString::number(editCount);
    const QString keyQuery = QStringLiteral("select * from data where count = ") + key + u';';
    // The window is modeless: meanwhile the QSO may have been deleted, or claimed in an award
    // request. An accredited QSO is never turned back into a confirmed or worked one.
    {
        Recordset& row = s.m.openShared(keyQuery);
        if (row.eof()) {
            s.dialogs.tell(this, QStringLiteral("this QSO is no longer in the Logbook!"),
                           Icon::Critical);
            return;
        }
        if (codes::isState(row.text(QStringLiteral("qsl")), codes::accredited)) {
            s.dialogs.tell(this, QStringLiteral("You cannot edit an accreditated qso!"),
                           Icon::Critical);
            return;
        }
    }
    if (!accreditedRuleAllows()) {
        return;
    }
    const Values v = values();
    const radiotable::Values exact = radioValues();
    const Replace replace = confirmedRule(v, QStringLiteral("' and count <> ") + key + u';');
    if (replace.refused) {
        return;
    }
    {
        // The replaced QSO goes only if the edited one is stored.
        Transaction transaction(s.m.logDb);
        kept::EditWatch kept(s.m.logDb, editCount);
        if (replace.replaced) {
            rules::duplicates::replace(s.m, *replace.replaced);
        }
        Recordset& rs = s.m.openShared(keyQuery);
        rs.edit();
        writeFields(rs, v);
        rs.update();
        radiotable::write(s.m.logDb, editCount, exact);
        kept.afterEdit();
        transaction.commit();
    }
    s.dialogs.tell(this, QStringLiteral("QSO edited"), Icon::Information);
    cancella();
    registry.showAny();
    registry.conta();
    txtWWLocator->setFocus();
    hide();
}

} // namespace hm52
