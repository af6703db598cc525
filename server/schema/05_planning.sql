-- Planning: assignments travel by change stamp, teams and members by the tenant's planning version
-- (SyncVersion.ID_Planung). Key GUIDs are uuid, so they compare whatever their case or braces.

CREATE TABLE Planung (
    Mandant_ID integer NOT NULL,
    MPL_GUID uuid NOT NULL,
    MPL_Datum timestamp(3),
    MPL_OrderNr integer NOT NULL DEFAULT 0,
    MPL_Betreff citext NOT NULL DEFAULT '',
    MPL_Text citext NOT NULL DEFAULT '',
    MPL_PRO integer NOT NULL DEFAULT 0,
    MPL_RKA_ID_A integer NOT NULL DEFAULT 0,
    MPL_RKA_ID_W integer NOT NULL DEFAULT 0,
    MPL_ADR_ID integer NOT NULL DEFAULT 0,
    -- Text, so that an assignment without team is stored whatever the device sends for it.
    MPL_MTM_GUID citext,
    MPL_ERFDAT timestamp(3),
    MPL_ERFUSER citext NOT NULL DEFAULT '',
    MPL_MUTDAT timestamp(3),
    MPL_MUTUSER citext NOT NULL DEFAULT '',
    Owner integer NOT NULL DEFAULT 0,
    gesperrt integer NOT NULL DEFAULT 0,
    komplett integer NOT NULL DEFAULT 0,
    erledigt integer NOT NULL DEFAULT 0,
    geloescht integer NOT NULL DEFAULT 0,
    ObjektAdresse citext NOT NULL DEFAULT '',
    ObjektAuftrag citext NOT NULL DEFAULT '',
    ObjektWerkAuftrag citext NOT NULL DEFAULT '',
    ObjektProjekt citext NOT NULL DEFAULT '',
    MPL_KA citext NOT NULL DEFAULT '',
    MPL_Erledigt integer NOT NULL DEFAULT 0,
    MPL_von timestamp(3),
    MPL_bis timestamp(3),
    MPL_TER_Backcolor citext DEFAULT '',
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, MPL_GUID)
);

-- MTM_Farbe holds an unsigned 32-bit colour.
CREATE TABLE Planung_Team (
    Mandant_ID integer NOT NULL,
    MTM_GUID uuid NOT NULL,
    MTM_Bezeichnung citext NOT NULL DEFAULT 'Team',
    MTM_Farbe bigint NOT NULL DEFAULT 0,
    MTM_ERFDAT timestamp(3),
    MTM_ERFUSER citext NOT NULL DEFAULT '',
    MTM_MUTDAT timestamp(3),
    MTM_MUTUSER citext NOT NULL DEFAULT '',
    Owner integer NOT NULL DEFAULT 0,
    SyncVersion integer NOT NULL DEFAULT 0,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, MTM_GUID)
);

CREATE TABLE Planung_TeamPersonal (
    Mandant_ID integer NOT NULL,
    MTP_GUID_Team uuid NOT NULL,
    MTP_LPE_ID integer NOT NULL DEFAULT 0,
    MTP_Leader integer NOT NULL DEFAULT 0,
    MTP_ERFDAT timestamp(3),
    MTP_ERFUSER citext NOT NULL DEFAULT '',
    MTP_MUTDAT timestamp(3),
    MTP_MUTUSER citext NOT NULL DEFAULT '',
    Owner integer NOT NULL DEFAULT 0,
    SyncVersion integer NOT NULL DEFAULT 0,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, MTP_GUID_Team, MTP_LPE_ID)
);

CREATE TABLE Planung_TeamErlaubnis (
    Mandant_ID integer NOT NULL,
    PTE_UserID integer NOT NULL,
    PTE_TeamGuid uuid NOT NULL,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, PTE_UserID, PTE_TeamGuid)
);
