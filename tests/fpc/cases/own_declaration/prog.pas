program prog;

uses ZetaLib, AlphaLib;

function Describe: string;
begin
  Describe := 'own';
end;

begin
  WriteLn(Describe);
end.
