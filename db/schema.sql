-- Tables of the customer directory. Texts are Windows-1254 bytes in the single-byte
-- Turkish character set latin5; the program's connection uses the same set, so the
-- bytes pass unchanged both ways.

CREATE TABLE rehber (
    Id          INT NOT NULL AUTO_INCREMENT,
    tarih       DATE NULL,
    adsoyad     VARCHAR(30) NULL,
    gsmtel1     VARCHAR(11) NULL,
    gsmtel2     VARCHAR(11) NULL,
    eposta      VARCHAR(50) NULL,
    firmaad     VARCHAR(30) NULL,
    firmaunvan  VARCHAR(50) NULL,
    firmatel    VARCHAR(11) NULL,
    vergidaire  VARCHAR(30) NULL,
    vergino     VARCHAR(15) NULL,
    grup        VARCHAR(10) NULL,
    referans    VARCHAR(10) NULL,
    detay       VARCHAR(500) NULL,
    adres       VARCHAR(255) NULL,
    adres1      VARCHAR(50) NULL,
    adres2      VARCHAR(50) NULL,
    adres3      VARCHAR(50) NULL,
    ili         VARCHAR(30) NULL,
    ilcesi      VARCHAR(30) NULL,
    PRIMARY KEY (Id),
    KEY rehber_gsmtel1 (gsmtel1),
    KEY rehber_gsmtel2 (gsmtel2),
    KEY rehber_firmatel (firmatel)
) ENGINE=InnoDB DEFAULT CHARSET=latin5 COLLATE=latin5_turkish_ci;

CREATE TABLE arayanlar (
    Id          INT NOT NULL AUTO_INCREMENT,
    tarih       DATE NULL,
    saat        TIME NULL,
    telno       VARCHAR(20) NULL,
    arayan      VARCHAR(30) NULL,
    firma       VARCHAR(30) NULL,
    rehberid    INT NULL,
    notu        VARCHAR(100) NULL,
    PRIMARY KEY (Id),
    KEY arayanlar_tarih (tarih),
    KEY arayanlar_telno (telno)
) ENGINE=InnoDB DEFAULT CHARSET=latin5 COLLATE=latin5_turkish_ci;

CREATE TABLE teklif (
    Id          INT NOT NULL AUTO_INCREMENT,
    referansno  VARCHAR(20) NULL,
    rehberid    INT NULL,
    adsoyad     VARCHAR(30) NULL,
    tarih       DATE NULL,
    gecerlitar  DATE NULL,
    toplam      DECIMAL(12,2) NULL,
    indirim     DECIMAL(12,2) NULL,
    kargotakip  VARCHAR(30) NULL,
    aciklama    VARCHAR(100) NULL,
    PRIMARY KEY (Id),
    KEY teklif_rehberid (rehberid),
    KEY teklif_adsoyad (adsoyad),
    KEY teklif_referansno (referansno)
) ENGINE=InnoDB DEFAULT CHARSET=latin5 COLLATE=latin5_turkish_ci;

CREATE TABLE teklifler (
    Id          INT NOT NULL AUTO_INCREMENT,
    referansno  VARCHAR(20) NULL,
    urun        VARCHAR(60) NULL,
    adet        INT NULL,
    birimfiyat  DECIMAL(12,2) NULL,
    tutar       DECIMAL(12,2) NULL,
    PRIMARY KEY (Id),
    KEY teklifler_referansno (referansno)
) ENGINE=InnoDB DEFAULT CHARSET=latin5 COLLATE=latin5_turkish_ci;

CREATE TABLE banka (
    Id          INT NOT NULL AUTO_INCREMENT,
    bankaadi    VARCHAR(40) NULL,
    hesapadi    VARCHAR(50) NULL,
    hesapno     VARCHAR(30) NULL,
    iban        VARCHAR(34) NULL,
    PRIMARY KEY (Id)
) ENGINE=InnoDB DEFAULT CHARSET=latin5 COLLATE=latin5_turkish_ci;
