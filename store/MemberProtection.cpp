#include "store/MemberProtection.h"

#include <stdexcept>

#include "store/ConversionLeftUnderWay.h"
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
    try {
        protectDiary(session.memberFolder(), keys);
    } catch (const ConversionLeftUnderWay&) {
        // The session takes the diary as the next login will find it, so that what the member
        // writes meanwhile goes into each file in the form that file is in.
        session.setDiaryKeys(std::move(keys), ConversionState::BeingProtected);
        throw;
    }
    session.setDiaryKeys(std::move(keys), ConversionState::Protected);
}

void unprotectMember(MemberSession& session) {
    if (!session.isProtected()) {
        throw std::logic_error("only a protected diary is unprotected");
    }
    // Every page is written, and written back again if the conversion fails.
    session.openedPages().clear();
    try {
        unprotectDiary(session.memberFolder(), *session.diaryKeys());
    } catch (const ConversionLeftUnderWay&) {
        session.setConversionState(ConversionState::BeingUnprotected);
        throw;
    }
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
