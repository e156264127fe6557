unit ZetaLib;

interface

procedure Show(const S: string); overload;

implementation

procedure Show(const S: string); overload;
begin
  WriteLn('ZetaLib');
end;

end.
