-- Master data the clients download. Text columns are citext (the office server compares texts
-- case-insensitively) and unbounded: scrambled values are twice their UTF-8 length.
-- Every table carries MUTTimeStamp (set by trigger) and FlagGeloescht (deletions are flagged).

CREATE TABLE A_ADRESSEN (
    Mandant_ID integer NOT NULL,
    ADR_ID integer NOT NULL DEFAULT 0,
    ADR_Nr integer NOT NULL DEFAULT 0,
    ADR_Sortierung citext NOT NULL DEFAULT '',
    ADR_Anrede citext NOT NULL DEFAULT '',
    ADR_Name citext NOT NULL DEFAULT '',
    ADR_Vorname citext NOT NULL DEFAULT '',
    ADR_Zusatz citext NOT NULL DEFAULT '',
    ADR_Strasse citext NOT NULL DEFAULT '',
    ADR_Postfach citext NOT NULL DEFAULT '',
    ADR_Land citext NOT NULL DEFAULT '',
    ADR_PLZ citext NOT NULL DEFAULT '',
    ADR_Ort citext NOT NULL DEFAULT '',
    ADR_Kanton citext NOT NULL DEFAULT '',
    ADR_Tel1 citext NOT NULL DEFAULT '',
    ADR_FAX citext NOT NULL DEFAULT '',
    ADR_Tel2 citext NOT NULL DEFAULT '',
    ADR_TEL3BESCHR citext NOT NULL DEFAULT '',
    ADR_TEL3 citext NOT NULL DEFAULT '',
    ADR_TEL4BESCHR citext NOT NULL DEFAULT '',
    ADR_TEL4 citext NOT NULL DEFAULT '',
    ADR_Email citext NOT NULL DEFAULT '',
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, ADR_ID)
);

-- The office server's column keeps its umlaut; the client reads it as LPE_Kuerzel.
CREATE TABLE A_PERSONAL (
    Mandant_ID integer NOT NULL,
    LPE_ID integer NOT NULL DEFAULT 0,
    LPE_Nr integer NOT NULL DEFAULT 0,
    LPE_Suchbez citext NOT NULL DEFAULT '',
    LPE_Kürzel citext NOT NULL DEFAULT '',
    LPE_KostenStd double precision NOT NULL DEFAULT 0,
    LPE_VerrechnenStd double precision NOT NULL DEFAULT 0,
    LPE_Kennwort citext NOT NULL DEFAULT '',
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, LPE_ID)
);

CREATE TABLE Lumora_User (
    Mandant_ID integer NOT NULL,
    USR_UserID integer NOT NULL DEFAULT 0,
    USR_UserName citext NOT NULL DEFAULT '',
    USR_Kurz citext NOT NULL DEFAULT '',
    USR_UserPW citext NOT NULL DEFAULT '',
    USR_BER_ID integer NOT NULL DEFAULT 0,
    USR_UserFD integer NOT NULL DEFAULT 0,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, USR_UserID)
);

CREATE TABLE Lumora_Gruppen (
    Mandant_ID integer NOT NULL,
    BER_ID integer NOT NULL DEFAULT 0,
    BER_Bezeichnung citext NOT NULL DEFAULT '',
    BER_Praesenzzeit integer NOT NULL DEFAULT 0,
    BER_Typ citext NOT NULL DEFAULT '',
    BER_Art citext NOT NULL DEFAULT '',
    BER_KS integer NOT NULL DEFAULT 0,
    BER_Fakt integer NOT NULL DEFAULT 0,
    BER_ZPZ_startstop integer NOT NULL DEFAULT 0,
    BER_ZER_startstop integer NOT NULL DEFAULT 0,
    BER_DatumMutieren integer NOT NULL DEFAULT 0,
    BER_Status4Mutieren integer NOT NULL DEFAULT 0,
    BER_TageVeraenderbar integer NOT NULL DEFAULT 14,
    BER_Buchungssperre timestamp(3) DEFAULT '2000-01-01',
    BER_InZukunftErlauben integer NOT NULL DEFAULT 0,
    BER_ZPZ_automatik integer NOT NULL DEFAULT 0,
    BER_Runden integer NOT NULL DEFAULT 1,
    BER_Planung integer NOT NULL DEFAULT 0,
    BER_LoescheWieTage integer NOT NULL DEFAULT 0,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    BER_Teamerfassung integer NOT NULL DEFAULT 0,
    BER_ZERnurAnsicht integer NOT NULL DEFAULT 0,
    BER_IstTerminal integer NOT NULL DEFAULT 0,
    BER_Mitternacht integer NOT NULL DEFAULT 0,
    BER_TeamPraesenzzeit integer NOT NULL DEFAULT 0,
    BER_MitternachtStunden integer NOT NULL DEFAULT 0,
    BER_TeamLight integer NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, BER_ID)
);

CREATE TABLE Lumora_GruppenKA (
    Mandant_ID integer NOT NULL,
    GKA_ID integer NOT NULL DEFAULT 0,
    GKA_BER_ID integer NOT NULL DEFAULT 0,
    GKA_KA citext NOT NULL DEFAULT '',
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, GKA_ID)
);

CREATE TABLE Lumora_GruppenKS (
    Mandant_ID integer NOT NULL,
    GKS_ID integer NOT NULL DEFAULT 0,
    GKS_BER_ID integer NOT NULL DEFAULT 0,
    GKS_KS citext NOT NULL DEFAULT '',
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, GKS_ID)
);

CREATE TABLE Lumora_GruppenTeam (
    Mandant_ID integer NOT NULL,
    GTE_ID integer NOT NULL DEFAULT 0,
    GTE_BER_ID integer NOT NULL DEFAULT 0,
    GTE_LPE integer NOT NULL DEFAULT 0,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, GTE_ID)
);

CREATE TABLE Lumora_Filter (
    Mandant_ID integer NOT NULL,
    PFI_ID integer NOT NULL DEFAULT 0,
    PFI_BER_ID integer NOT NULL DEFAULT 0,
    PFI_Tabelle citext NOT NULL DEFAULT '',
    PFI_Name citext NOT NULL DEFAULT '',
    PFI_SQL citext NOT NULL DEFAULT '',
    PFI_Standard smallint NOT NULL DEFAULT 0,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, PFI_ID)
);

CREATE TABLE M_Material (
    Mandant_ID integer NOT NULL,
    MAT_ID integer NOT NULL DEFAULT 0,
    MAT_SP integer NOT NULL DEFAULT 0,
    MAT_Nr citext NOT NULL DEFAULT '',
    MAT_AlternativNr citext NOT NULL DEFAULT '',
    MAT_EANCODE citext NOT NULL DEFAULT '',
    MAT_BerCode citext NOT NULL DEFAULT '',
    MAT_Suchbezeichnung citext NOT NULL DEFAULT '',
    MAT_Gruppe citext NOT NULL DEFAULT '',
    MAT_Mengeneinheit citext NOT NULL DEFAULT '',
    MAT_Preiseinheit double precision NOT NULL DEFAULT 0,
    MAT_Bezeichnung citext NOT NULL DEFAULT '',
    MTE_ZusatzText citext NOT NULL DEFAULT '',
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, MAT_ID)
);

CREATE TABLE M_MaterialPreise (
    Mandant_ID integer NOT NULL,
    MAT_ID integer NOT NULL DEFAULT 0,
    MAT_MAF_NR integer NOT NULL DEFAULT 0,
    MAT_AktiveWaehrung integer NOT NULL DEFAULT 0,
    MAT_AktuellerEP double precision NOT NULL DEFAULT 0,
    MAT_AktuellerEP_EURO double precision NOT NULL DEFAULT 0,
    MAT_VPKalkuliert double precision NOT NULL DEFAULT 0,
    MAT_VPKalkuliert_EURO double precision NOT NULL DEFAULT 0,
    MAT_VP1 double precision NOT NULL DEFAULT 0,
    MAT_VP2 double precision NOT NULL DEFAULT 0,
    MAT_VP3 double precision NOT NULL DEFAULT 0,
    MAT_VP4 double precision NOT NULL DEFAULT 0,
    MAT_VP5 double precision NOT NULL DEFAULT 0,
    MAT_VP6 double precision NOT NULL DEFAULT 0,
    MAT_VP7 double precision NOT NULL DEFAULT 0,
    MAT_VP8 double precision NOT NULL DEFAULT 0,
    MAT_VP9 double precision NOT NULL DEFAULT 0,
    MAT_Aktionspreis double precision NOT NULL DEFAULT 0,
    MAT_VP1_EURO double precision NOT NULL DEFAULT 0,
    MAT_VP2_EURO double precision NOT NULL DEFAULT 0,
    MAT_VP3_EURO double precision NOT NULL DEFAULT 0,
    MAT_VP4_EURO double precision NOT NULL DEFAULT 0,
    MAT_VP5_EURO double precision NOT NULL DEFAULT 0,
    MAT_VP6_EURO double precision NOT NULL DEFAULT 0,
    MAT_VP7_EURO double precision NOT NULL DEFAULT 0,
    MAT_VP8_EURO double precision NOT NULL DEFAULT 0,
    MAT_VP9_EURO double precision NOT NULL DEFAULT 0,
    MAT_Aktionspreis_EURO double precision NOT NULL DEFAULT 0,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, MAT_ID, MAT_MAF_NR)
);

CREATE TABLE P_PROJEKT (
    Mandant_ID integer NOT NULL,
    PRO_ID integer NOT NULL DEFAULT 0,
    PRO_Nr citext NOT NULL DEFAULT '',
    PRO_Bezeichnung citext NOT NULL DEFAULT '',
    PRO_Start timestamp(3),
    PRO_Ende timestamp(3),
    PRO_Beschreibung citext NOT NULL DEFAULT '',
    PRO_Erledigt smallint NOT NULL DEFAULT 0,
    PRO_KS citext NOT NULL DEFAULT '',
    FakturaCode citext NOT NULL DEFAULT 'X',
    SyncVersion integer NOT NULL DEFAULT 0,
    PRO_ADR1 integer NOT NULL DEFAULT 0,
    PRO_ADR2 integer NOT NULL DEFAULT 0,
    PRO_ADRRechnung integer NOT NULL DEFAULT 0,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    FilterZahl1 integer NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, PRO_ID)
);

CREATE TABLE P_PROJEKTPHASEN (
    Mandant_ID integer NOT NULL,
    PPH_ID integer NOT NULL DEFAULT 0,
    PPH_PRO_ID integer NOT NULL DEFAULT 0,
    PPH_PRO_ID_VL integer NOT NULL DEFAULT 0,
    PPH_Nr citext NOT NULL DEFAULT '',
    PPH_Bezeichnung citext NOT NULL DEFAULT '',
    PPH_Memo citext NOT NULL DEFAULT '',
    PPH_Start timestamp(3),
    PPH_Ende timestamp(3),
    PPH_Inaktiv integer NOT NULL DEFAULT 0,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, PPH_ID)
);

CREATE TABLE P_PROJEKTPHASEN_DETAIL (
    Mandant_ID integer NOT NULL,
    PPD_ID integer NOT NULL DEFAULT 0,
    PPD_PPH_ID integer NOT NULL DEFAULT 0,
    PPD_ZKA_Nr citext NOT NULL DEFAULT '',
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, PPD_ID)
);

CREATE TABLE R_KAUFTRAG (
    Mandant_ID integer NOT NULL,
    RKA_ID integer NOT NULL DEFAULT 0,
    RKA_ADR_ID integer NOT NULL DEFAULT 0,
    RKA_ExtAufNr citext NOT NULL DEFAULT '',
    RKA_PRO integer NOT NULL DEFAULT 0,
    RKA_Bezeichnung citext NOT NULL DEFAULT '',
    RKA_Status citext NOT NULL DEFAULT '',
    RKA_StatusText citext NOT NULL DEFAULT '',
    RKA_Datum1 timestamp(3),
    RKA_Datum2 timestamp(3),
    RKA_RechnungOrig integer NOT NULL DEFAULT 0,
    RKA_KS citext NOT NULL DEFAULT '',
    FakturaCode citext NOT NULL DEFAULT '',
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, RKA_ID)
);

CREATE TABLE R_KWERKAUFTRAG (LIKE R_KAUFTRAG INCLUDING DEFAULTS INCLUDING CONSTRAINTS);
ALTER TABLE R_KWERKAUFTRAG ADD PRIMARY KEY (Mandant_ID, RKA_ID);

CREATE TABLE Z_KOSTENART (
    Mandant_ID integer NOT NULL,
    ZKA_Nr citext NOT NULL,
    ZKA_Bezeichnung citext NOT NULL DEFAULT '',
    ZKA_TYPE smallint NOT NULL DEFAULT 0,
    ZKA_StundenFaktor double precision NOT NULL DEFAULT 0,
    ZKA_Leistung integer NOT NULL DEFAULT 0,
    ZKA_Spesen smallint NOT NULL DEFAULT 0,
    ZKA_KmAnsatz double precision NOT NULL DEFAULT 0,
    ZKA_MWSTC integer NOT NULL DEFAULT 0,
    ZKA_MWSTExcl smallint NOT NULL DEFAULT 0,
    ZKA_Konto citext NOT NULL DEFAULT '',
    ZKA_Eigensch smallint NOT NULL DEFAULT 0,
    ZKA_KS citext NOT NULL DEFAULT '',
    ZKA_StdETyp smallint NOT NULL DEFAULT 0,
    ZKA_Lohnart citext NOT NULL DEFAULT '',
    ZKA_LohnartStd citext NOT NULL DEFAULT '',
    ZKA_Verrechnen citext NOT NULL DEFAULT '',
    ZKA_Inaktiv smallint NOT NULL DEFAULT 0,
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, ZKA_Nr)
);

CREATE TABLE Z_KOSTENSTELLE (
    Mandant_ID integer NOT NULL,
    ZKS_Nr citext NOT NULL,
    ZKS_Bezeichnung citext NOT NULL DEFAULT '',
    FlagGeloescht smallint NOT NULL DEFAULT 0,
    MUTTimeStamp timestamp(3) NOT NULL DEFAULT '2000-01-01',
    PRIMARY KEY (Mandant_ID, ZKS_Nr)
);
