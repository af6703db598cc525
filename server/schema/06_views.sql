-- Views run with the caller's rights, so the tables' tenant policies apply to them.

-- One row per row that any synchronised table holds, with the code under which the client
-- downloads that table. Codes that the client does not know only count towards its progress.
CREATE VIEW Lumora_union_AlleMutTimeStamp WITH (security_invoker = true) AS
          SELECT Mandant_ID, MUTTimeStamp, 'A_A'::citext AS typ FROM A_ADRESSEN
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'A_P' FROM A_PERSONAL
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'U_G' FROM Lumora_Gruppen
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'U_K' FROM Lumora_GruppenKA
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'U_S' FROM Lumora_GruppenKS
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'U_T' FROM Lumora_GruppenTeam
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'U_U' FROM Lumora_User
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'P_P' FROM P_PROJEKT
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'P_1' FROM P_PROJEKTPHASEN
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'P_2' FROM P_PROJEKTPHASEN_DETAIL
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'R_A' FROM R_KAUFTRAG
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'R_W' FROM R_KWERKAUFTRAG
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'Z_KA' FROM Z_KOSTENART
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'Z_KS' FROM Z_KOSTENSTELLE
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'PFI' FROM Lumora_Filter
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'ZPT' FROM Lumora_TeamZPZ
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'ZET' FROM Lumora_Team
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'MAT' FROM M_Material
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'MAP' FROM M_MaterialPreise
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'ZER' FROM Z_ERFASSUNG
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'ZPZ' FROM Z_PRAESENZZEIT
UNION ALL SELECT Mandant_ID, MUTTimeStamp, 'MPL' FROM Planung;

-- Every live assignment, team and team member; the clients delete what is not listed.
CREATE VIEW Planung_AlleGuids WITH (security_invoker = true) AS
          SELECT 'P_PL'::citext AS typ, MPL_GUID AS guid, 0 AS lpe, Mandant_ID FROM Planung
              WHERE geloescht = 0 AND FlagGeloescht = 0
UNION ALL SELECT 'P_PT', MTM_GUID, 0, Mandant_ID FROM Planung_Team WHERE FlagGeloescht = 0
UNION ALL SELECT 'P_PP', MTP_GUID_Team, MTP_LPE_ID, Mandant_ID FROM Planung_TeamPersonal WHERE FlagGeloescht = 0;
