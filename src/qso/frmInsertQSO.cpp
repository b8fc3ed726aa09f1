#include "qso/frmInsertQSO.h"

#include "rules/Rules.h"
#include "ui/Services.h"
#include "ui/Windows.h"

namespace hm52 {

frmInsertQSO::frmInsertQSO(Services& services, Windows& reg)
    : QsoForm(services, reg,
              Traits{.caretAtEnd = false, .callLostFocus = true, .limitsAfterQuotes = true}) {
    setObjectName(QStringLiteral("frmInsertQSO"));
    setWindowTitle(QStringLiteral("Insert QSO"));
}

void frmInsertQSO::cmdSubmit_Click() {
    submit();
}

void frmInsertQSO::submit() {
    if (!validate() || !accreditedRuleAllows()) {
        return;
    }
    const Values v = values();
    const radiotable::Values exact = radioValues();
    const Replace replace = confirmedRule(v, QStringLiteral("';"));
    if (replace.refused) {
        return;
    }
    {
        // The replaced QSO goes only if the new one is stored.
        Transaction transaction(s.m.logDb);
        if (replace.replaced) {
            rules::duplicates::replace(s.m, *replace.replaced);
        }
        const int number = rules::nextCount(s.m);
        Recordset& rs = s.m.openShared(QStringLiteral("data"));
        rs.addNew();
        rs.setField(QStringLiteral("count"), number);
        writeFields(rs, v);
        rs.update();
        radiotable::write(s.m.logDb, number, exact);
        transaction.commit();
    }
    s.dialogs.tell(this, QStringLiteral("QSO saved"), Icon::Information);
    cancella();
    registry.showAny();
    registry.conta();
    txtWWLocator->setFocus();
}

} // namespace hm52
