#include "store/MemberProtection.h"

#include <stdexcept>

#include "store/DiaryConversion.h"
#include "store/MemberFileWriter.h"
#include "store/MemberSession.h"
#include "store/ProtectedPasswordFile.h"

void protectMember(MemberSession& session, std::string_view password) {
    if (!session.loggedIn() || session.isProtected()) {
        throw std::logic_error("only a classic member's diary is protected");
    }
    DiaryKeys keys = DiaryKeys::create(session.cipherKey(), password, session.kdfForNewDiaries());
    session.openedPages().clear();
    protectDiary(session.memberFolder(), keys);
    session.setDiaryKeys(std::move(keys), ConversionState::Protected);
}

void unprotectMember(MemberSession& session) {
    if (!session.isProtected()) {
        throw std::logic_error("only a protected diary is unprotected");
    }
    // Every page is written, and written back again if the conversion fails.
    session.openedPages().clear();
    unprotectDiary(session.memberFolder(), *session.diaryKeys());
    session.setDiaryKeys(std::nullopt, ConversionState::Protected);
}

void changeProtectedPassword(MemberSession& session, std::string_view password) {
    if (!session.isProtected()) {
        throw std::logic_error("only a protected diary's password is sealed anew");
    }
    DiaryKeys keys = session.diaryKeys()->withPassword(password, session.kdfForNewDiaries());
    rewriteMemberFile(session.passwordPath(), ProtectedPasswordFile::content(keys, session.conversionState()));
    session.setDiaryKeys(std::move(keys), session.conversionState());
}
