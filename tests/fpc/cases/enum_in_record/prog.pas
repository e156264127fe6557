program prog;

uses ZetaLib, AlphaLib;

begin
  WriteLn(Ord(Fast));
  WriteLn(Ord(Low1));
end.
